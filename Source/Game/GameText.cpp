#include "Game/GameText.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/ResourceManager.h"

#include <algorithm>
#include <stdexcept>

void LoadGameText()
{
    try
    {
        Kestrin::ResourceManager::Instance()->LoadFile(L"AllGameText_Export", nullptr, true);
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(
            Kestrin::FromUtf8(e.what()),
            L"There was an error loading AllGameText_Export.xml. Fix the problem and press F5 to reload");
    }
}

std::wstring GetGameText(const std::string& key)
{
    if (const auto* text = Kestrin::GetValueResource<std::wstring>(key))
        return text->value;
    return L"Text not Found";
}

std::wstring GetGuestFullName(GuestID guest)
{
    return GetGameText(std::string("GuestFullName.") + NameOf(guest));
}

std::wstring GetDateAndTimeText(const std::string& key)
{
    return GetGameText(key + ".dateandtime");
}

std::wstring FormatMinutesSeconds(int seconds)
{
    seconds = std::max(seconds, 0);
    const int minutes = seconds / 60, rest = seconds % 60;
    std::wstring text = (minutes < 10 ? L"0" : L"") + std::to_wstring(minutes) + L":";
    return text + (rest < 10 ? L"0" : L"") + std::to_wstring(rest);
}
