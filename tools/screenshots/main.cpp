// Draws each scene layout of the data tree through the software renderer, headless, and writes one
// PNG per layout plus a contact sheet of the screens, so the layouts can be looked at without
// playing to them. The screens' own code is not run: where a screen fills in texts, pictures or
// rows, a few lines here stage the same with sample values.
//
//     screenshots [data folder] [output folder] [contact sheet]
#include "harness/DataCheck.h"

#include "Base/Strings.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Canvas.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Graphics/PngWriter.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Platform.h"
#include "Platform/Shim/DirectDraw/DirectDraw.h"
#include "Platform/Shim/DirectDraw/SdlBackend.h"
#include "Platform/Win32/CDisplay.h"
#include "Platform/Win32/DDraw7GraphicsPlatform.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNode.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/TextSpriteNode.h"
#include "UI/Layout.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace Kestrin;

namespace
{

constexpr int kWidth = 800, kHeight = 600;

// The window the display needs, and nothing else of a platform.
class HeadlessPlatform : public IPlatform
{
public:
    explicit HeadlessPlatform(SDL_Window* window) : m_window(window) { SetPlatform(this); }
    void Initialize() override {}
    void Shutdown() override {}
    bool ActivateExistingInstance() override { return false; }
    void CreateMainWindow(const DisplaySettings&) override {}
    void DestroyWindow() override {}
    void RestoreWindow() override {}
    void ShellOpen(const std::wstring&) override {}
    void CheckScreenResolution(const DisplaySettings&) override {}
    bool IsActive() override { return false; } // no cursor in the pictures
    bool IsQuitRequested() override { return false; }
    bool HasPendingMessages() override { return false; }
    bool IsRepaintRequested() override { return false; }
    void ClearRepaintRequest() override {}
    void PumpMessages(IInputEventSink*) override {}
    void WaitForMessages() override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}
    void* GetDisplayWindow() override { return m_window; }

private:
    SDL_Window* m_window;
};

struct Picture
{
    std::vector<uint32_t> pixels; // 0xAARRGGBB
    int width = 0;
    int height = 0;
};

// The back buffer's alpha means nothing: the pictures are opaque.
bool WritePng(const fs::path& path, const Picture& picture)
{
    std::vector<uint32_t> opaque(picture.pixels);
    for (uint32_t& p : opaque)
        p |= 0xFF000000u;
    return Graphics::WritePng(path.string(), opaque.data(), picture.width, picture.height);
}

std::wstring Text(const char* key)
{
    auto* value = GetValueResource<std::wstring>(key);
    return value ? value->value : L"";
}

// One scratch screen: a database, a root, the layouts built under it and the staging steps.
class Stage
{
public:
    Stage() : m_scope(&m_screen)
    {
        m_root = new SceneNode;
        m_screen.AddObject(m_root);
    }

    // Builds the layout under the node (the root when null) and answers its root.
    SceneNode* Build(const std::string& layout, SceneNode* under = nullptr)
    {
        const SceneLayout* found = GetSceneLayoutByString(layout).second;
        if (!found)
        {
            std::cerr << "no scene layout \"" << layout << "\"\n";
            return nullptr;
        }
        return found->Instantiate(m_screen, under ? under : m_root);
    }
    // The widget layout's objects, drawn after the tree as the database's drawables.
    void BuildWidgets(const char* layout)
    {
        if (const Layout* found = GetResource<Layout>(layout).second)
            found->CreateObjects();
        else
            std::cerr << "no widget layout \"" << layout << "\"\n";
        m_screen.Update(0.0f); // sorts the new drawables in
    }
    SceneNode* Find(const std::string& path)
    {
        std::vector<SceneNode::PathElement> steps;
        size_t start = 0;
        while (start <= path.size())
        {
            size_t end = path.find('/', start);
            if (end == std::string::npos)
                end = path.size();
            steps.emplace_back(path.substr(start, end - start));
            start = end + 1;
        }
        steps.emplace_back(SceneNode::EndOfPath);
        SceneNode* node = SceneNode::FindNode(m_root, steps.data());
        if (!node)
            std::cerr << "no node \"" << path << "\"\n";
        return node;
    }
    void SetText(const std::string& path, const std::wstring& text)
    {
        if (SceneNode* node = Find(path))
            SetNodeText(node, text);
    }
    void Show(const std::string& path, bool visible = true)
    {
        if (SceneNode* node = Find(path))
            node->SetVisible(visible);
    }
    // A picture under the node, as the screens attach theirs.
    SceneNode* Attach(SceneNode* under, SceneNode* picture, float x = 0, float y = 0)
    {
        if (!under)
        {
            delete picture;
            return nullptr;
        }
        m_screen.AddObject(picture);
        picture->SetParent(under);
        picture->SetPosition(x, y);
        return picture;
    }
    SceneNode* AttachImage(const std::string& path, const char* image, float x = 0, float y = 0)
    {
        return Attach(Find(path), new StaticSpriteNode(MakeName(image)), x, y);
    }
    SceneNode* AttachFrame(const std::string& path, const char* list, int frame, float x = 0, float y = 0)
    {
        return Attach(Find(path), new StaticSpriteNode(MakeName(list), frame), x, y);
    }
    void Draw()
    {
        m_root->RefreshTree();
        m_root->DrawTree({0.0f, 0.0f});
        m_screen.Draw();
    }

private:
    ObjectDatabase m_screen;
    ScopedCurrentObjectDatabase m_scope;
    SceneNode* m_root = nullptr;
};

struct Shot
{
    std::string name;                  // the file's stem
    std::string backdrop;              // a colour under the screen, "#RRGGBB"; "" for none
    std::function<void(Stage&)> build; // builds and stages the screen
};

SceneNode* Child(SceneNode* node, const char* name)
{
    return node ? node->FindChild(name) : nullptr;
}

// Day buttons as the calendar lays them out: all done, the current one, then locked days left out.
void StageCalendar(Stage& s)
{
    s.Build("agenda_modeLayout");
    SceneNode* attach = s.Find("agenda_mode/day_button_attach");
    const char* guests[][3] = {{"Jillian", "Harley", nullptr}, {"Jillian", "Miranda", "Zoe"},
                               {"Jillian", "Harley", "Jason"}, {"Jillian", "Heather", nullptr},
                               {"Jillian", "Zoe", "Miranda"},  {"Jillian", "Jason", nullptr}};
    for (int day = 0; day < 6; ++day)
    {
        const bool done = day < 5;
        SceneNode* button = s.Build(done ? "completedButtonLayout" : "currentButtonLayout", attach);
        if (!button)
            return;
        button->SetPosition(float(day % 5 * 116 + 89), float(day / 5 * 94 + 126));
        if (!done)
            s.Attach(button, new StaticSpriteNode(MakeName("Agenda_button_unlocked_day"), 0));
        const int count = guests[day][2] ? 3 : 2;
        SceneNode* icons = s.Build(std::to_string(count) + "guest_day_iconLayout", button);
        for (int i = 0; i < count; ++i)
        {
            SceneNode* icon =
                s.Build("guest_treatmentLayout", Child(icons, ("slot_" + std::to_string(i + 1)).c_str()));
            auto* sprite = dynamic_cast<AnimatedSpriteNode*>(Child(icon, "treatment_icon"));
            if (!sprite)
                continue;
            sprite->SetSpriteType(
                GetSpriteType((std::string(guests[day][i]) + "_iconSpriteType").c_str()).second);
            sprite->PlayAnimation(MakeName(done ? "completed" : (i == 0 ? "inprogress" : "locked")), true);
            if (done && i == 0)
                if (SceneNode* star = Child(icon, "expert_icon"))
                    star->SetVisible(true);
        }
    }
}

void StageDay(Stage& s)
{
    s.Build("daily_scheduleLayout");
    s.SetText("daily_schedule/text_week_day", L"Monday 6th");
    SceneNode* rows = s.Build("3guest_formatLayout", s.Find("daily_schedule/guest_combo_attach"));
    const char* guests[] = {"Jillian", "Harley", "Miranda"};
    for (int k = 0; k < 3; ++k)
    {
        SceneNode* combo =
            s.Build("guest_comboLayout", Child(rows, ("slot_" + std::to_string(k + 1)).c_str()));
        s.Attach(Child(combo, "apptTime"), new StaticSpriteNode(MakeName("ApptTimeImages"), k));
        s.Build(std::string(guests[k]) + "_buttonLayout", Child(combo, "level_button_attach"));
        if (SceneNode* tick = Child(combo, "normal_checkmark"))
            tick->SetVisible(k == 0);
        if (SceneNode* star = Child(combo, "expert_star"))
            star->SetVisible(k == 1);
        if (SceneNode* lock = Child(combo, "no_access_overlay"))
            lock->SetVisible(k == 2);
    }
}

AnimatedSpriteNode* Animated(SceneNode* node, const char* type, const char* animation)
{
    auto* sprite = dynamic_cast<AnimatedSpriteNode*>(node);
    if (sprite)
    {
        if (type)
            sprite->SetSpriteType(GetSpriteType(type).second);
        sprite->PlayAnimation(MakeName(animation));
    }
    return sprite;
}

// A creature as the level makes one: its layout, its sprite type and animation, at (x, y).
SceneNode* StageCreature(Stage& s, SceneNode* layer, const char* type, const char* animation, float x,
                         float y)
{
    SceneNode* creature = s.Build("CreatureLayout", layer);
    if (!creature)
        return nullptr;
    creature->SetPosition(x, y);
    Animated(Child(Child(creature, "scaleNode"), "creatureImage"), type, animation);
    return creature;
}

// A level's playfield, staged by hand (the level code is not run): Miranda's room with gunk, an
// obstacle, a spool with a line drawn from it, creatures of several kinds and colours, a king with
// its crown and flame, a Posi-Tic, a pop-up word and the HUD. The software renderer draws no line
// strips, so the line is laid out of its yarn pieces.
void StagePlayfield(Stage& s)
{
    s.Build("gameRootLayout");
    s.Show("gamemoderoot/messageBanner", false);
    const std::string field = "gamemoderoot/playfield";
    if (auto* background =
            dynamic_cast<StaticSpriteNode*>(s.Find(field + "/LevelMouseHandler/LevelBackground")))
        background->SetImage(GetResource<IImage>("Miranda_BGImage").second);
    // Gunk: a green patch deepening to its middle, a black one round the king.
    IImageList* green = GetResource<IImageList>("sludgeBGImageList-Green").second;
    IImageList* black = GetResource<IImageList>("sludgeBGImageList-Black").second;
    SceneNode* terrain = s.Find(field + "/TerrainLayerNode");
    for (int cy = 0; cy < 7; ++cy)
        for (int cx = 0; cx < 9; ++cx)
        {
            const int dx = cx - 4, dy = cy - 3, d = std::max(std::abs(dx), std::abs(dy) + 1);
            if (d <= 4 && green)
                s.Attach(terrain, new StaticSpriteNode(green, 5 - d), 80.0f + cx * 20, 380.0f + cy * 20);
            if (d <= 3 && black)
                s.Attach(terrain, new StaticSpriteNode(black, 4 - d), 540.0f + cx * 20, 120.0f + cy * 20);
        }
    SceneNode* layer = s.Find(field + "/CreatureLayerNode");
    s.AttachImage(field + "/CreatureLayerNode", "obstacle_miranda_1_shadow", 372, 244);
    s.AttachImage(field + "/CreatureLayerNode", "obstacle_miranda_1", 366, 238);
    s.AttachImage(field + "/CreatureLayerNode", "obst_Jason_1_shadow", 214, 128);
    s.AttachImage(field + "/CreatureLayerNode", "obst_Jason_1", 210, 124);
    // The spool and a blue line run out of it, its shadow beneath, sparkles along it.
    if (SceneNode* trap = s.Build("TrapLayout", layer))
    {
        trap->SetPosition(120, 250);
        Animated(Child(trap, "trapImage"), "AnyBlue_TrapStateSpriteType", "open-100");
        Animated(Child(Child(trap, "trapImage"), "windFX"), nullptr, "extract");
    }
    IImageList* yarn = GetResource<IImageList>("LineImages").second;
    SceneNode* lines = s.Find(field + "/LineAttachLayerNode");
    for (int i = 0; i < 11 && yarn; ++i)
    {
        s.Attach(lines, new StaticSpriteNode(yarn, 5), 142.0f + i * 20, 253.0f);
        SceneNode* piece = s.Attach(lines, new StaticSpriteNode(yarn, 0), 140.0f + i * 20, 250.0f);
        if (piece)
            piece->SetColor(ColorF(0.0f, 120 / 255.0f, 209 / 255.0f, 1.0f));
    }
    for (int i = 0; i < 3; ++i)
        s.Attach(lines, new AnimatedSpriteNode(MakeName("LineSparkle")), 180.0f + i * 70, 248.0f);
    const struct
    {
        const char* type;
        const char* animation;
        float x, y;
    } creatures[] = {{"BasicBlue_CreatureStateSpriteType", "Normal-WalkLeft-Wander", 420, 180},
                     {"BasicRed_CreatureStateSpriteType", "Normal-Idle-Wander", 250, 330},
                     {"BasicYellow_CreatureStateSpriteType", "Normal-Idle-FreakOut", 300, 440},
                     {"IndecisivePurple_CreatureStateSpriteType", "Normal-WalkDown-Wander", 500, 400},
                     {"ShyAny_CreatureStateSpriteType", "Normal-Idle-Wander", 660, 420},
                     {"ProtectedAny_CreatureStateSpriteType", "Special-Idle-Wander", 560, 300},
                     {"PairingAny_CreatureStateSpriteType", "Normal-WalkRight-Wander", 330, 210},
                     {"LonerAny_CreatureStateSpriteType", "Normal-Speared-Wander", 700, 300},
                     {"FreezeAny_CreatureStateSpriteType", "PowerUp-Idle", 470, 90}};
    for (const auto& c : creatures)
        StageCreature(s, layer, c.type, c.animation, c.x, c.y);
    if (SceneNode* king = StageCreature(s, layer, "LargeCircleBlack_CreatureStateSpriteType",
                                        "Normal-Idle-Wander", 610, 170))
    {
        SceneNode* scale = Child(king, "scaleNode");
        Animated(Child(scale, "flameImage"), nullptr, "on");
        if (auto* crown = dynamic_cast<StaticSpriteNode*>(s.Build("crownLayout", scale)))
            crown->SetImage(GetResource<IImageList>("MegaNegaTicHealthImages").second, 3);
    }
    if (SceneNode* popup = s.Build("feedbackPopupLayout", s.Find(field + "/PopupLayerNode")))
        popup->SetPosition(250, 290);
    // The HUD.
    s.Build("game_interfaceLayout", s.Find("gamemoderoot/gui_attach"));
    const std::string hud = "gamemoderoot/gui_attach/game_interface/";
    s.SetText(hud + "guest_name", Text("GuestFullName.Miranda"));
    s.SetText(hud + "level", L"Tuesday, 10:30");
    s.SetText(hud + "timer", L"01:42");
    s.SetText(hud + "expert_time", Text("UI.expert") + L" 02:30");
    s.AttachFrame(hud + "head_icon_attach", "Miranda_icon", 1);
}

std::vector<Shot> Shots()
{
    const std::string game = "#5A5A66"; // the playing screen beneath the pop-ups and outros
    std::vector<Shot> shots;
    shots.push_back({"LoadingMode", "", [](Stage& s) { s.BuildWidgets("LoadingMode"); }});
    shots.push_back({"titlescreenLayout", "", [](Stage& s) { s.Build("titlescreenLayout"); }});
    auto mainMenu = [](Stage& s)
    {
        s.Build("main_menuLayout");
        s.SetText("main_menu/table/nameplate/text_name", L"Ada");
    };
    shots.push_back({"main_menuLayout", "", mainMenu});
    shots.push_back(
        {"Options", "",
         [=](Stage& s)
         {
             mainMenu(s);
             s.Build("Options");
             const std::pair<const char*, const char*> texts[] = {
                 {"title_options", "Options.title"},           {"text_mute_music", "Options.mute"},
                 {"text_music_volume", "Options.musicvolume"}, {"text_mute_sound", "Options.mute"},
                 {"text_sound_volume", "Options.soundvolume"}, {"text_full_screen", "Options.fullscreen"}};
             for (const auto& [node, key] : texts)
                 s.SetText(std::string("optionsRoot/") + node, Text(key));
         }});
    shots.push_back({"QuitConfirm", "",
                     [=](Stage& s)
                     {
                         mainMenu(s);
                         s.Build("QuitConfirm");
                         s.SetText("quitConfirmRoot/offset/title_quit", Text("QuitConfirm.title"));
                         s.SetText("quitConfirmRoot/offset/text_QuitConfirmMsg", Text("QuitConfirm.quit"));
                     }});
    shots.push_back({"CreditsLayout", "",
                     [](Stage& s)
                     {
                         s.Build("CreditsLayout");
                         s.SetText("creditsRoot/text_credits", Text("Credits.title"));
                     }});
    auto account = [=](Stage& s)
    {
        mainMenu(s);
        s.Build("Account");
        s.SetText("accountRoot/title_profiles", Text("Profile.title"));
        s.SetText("accountRoot/text_ProfileInstruction", Text("Profile.instructions"));
        SceneNode* attach = s.Find("accountRoot/AccountEntriesAttach");
        const wchar_t* names[] = {L"Ada", L"Bruno", L"Chiara"};
        for (int i = 0; i < 3; ++i)
            if (SceneNode* entry = s.Build("AccountEntry", attach))
            {
                entry->SetY(entry->GetLocalState().y + float(i * 26));
                SetNodeText(entry, names[i]);
            }
    };
    shots.push_back({"Account", "", account});
    shots.push_back({"popup_new_profileLayout", "",
                     [=](Stage& s)
                     {
                         account(s);
                         s.Build("popup_new_profileLayout");
                         s.SetText("popup_new_profile/title_NewProfile", Text("Profile.NewTitle"));
                         s.SetText("popup_new_profile/text_ProfileInstruction",
                                   Text("Profile.NewInstructions"));
                     }});
    shots.push_back({"popup_delete_profileLayout", "",
                     [=](Stage& s)
                     {
                         account(s);
                         s.Build("popup_delete_profileLayout");
                         s.SetText("popup_delete_profile/title_DeleteProfile", Text("Profile.DeleteTitle"));
                         // The game puts the player's name in place of "%1%".
                         std::wstring question = Text("Profile.DeleteInstructions");
                         if (const size_t at = question.find(L"%1%"); at != std::wstring::npos)
                             question.replace(at, 3, L"Bruno");
                         s.SetText("popup_delete_profile/text_DeleteConfirmMesg", question);
                     }});
    shots.push_back({"TictionaryMainLayout", "", [](Stage& s) { s.Build("TictionaryMainLayout"); }});
    shots.push_back(
        {"Tictionary_TicProfileLayout", "",
         [](Stage& s)
         {
             s.Build("Tictionary_TicProfileLayout");
             if (auto* image = dynamic_cast<StaticSpriteNode*>(s.Find("Tictionary_TicProfile/TicDataImage")))
                 image->SetImage(GetResource<IImage>("TicProfile_antic").second);
         }});
    shots.push_back({"Tictionary_aboutLayout", "", [](Stage& s) { s.Build("Tictionary_aboutLayout"); }});
    shots.push_back({"Tictionary_GameHelpLayout", "",
                     [](Stage& s)
                     {
                         s.Build("Tictionary_GameHelpLayout");
                         s.Show("Tictionary_GameHelp/gameplay", false);
                         s.Show("Tictionary_GameHelp/tips", false);
                     }});
    shots.push_back({"ticIntroRootLayout", game,
                     [](Stage& s)
                     {
                         s.Build("ticIntroRootLayout");
                         s.AttachImage("ticIntroRoot/tic_attach", "TicIntro_neurotic");
                     }});
    shots.push_back(
        {"level_introRootLayout", game,
         [](Stage& s)
         {
             s.Build("level_introRootLayout");
             s.SetText("level_introRoot/title_game_level", L"Monday 6th");
             s.SetText("level_introRoot/text_level_introduction",
                       L"Harley brought his toolbox and a head full of half-finished plans. "
                       L"Catch the green Tics before they spill gunk over the workbench.");
             s.Show("level_introRoot/goal_time");
             s.AttachFrame("level_introRoot/goal_time/head_attach", "Harley_icon", 1);
             s.SetText("level_introRoot/goal_time/guestFullName", Text("GuestFullName.Harley"));
             s.SetText("level_introRoot/goal_time/Expert", Text("LevelIntro.Expert") + L"01:30");
             s.SetText("level_introRoot/goal_time/Session", Text("LevelIntro.Session") + L"03:00");
             s.SetText("level_introRoot/goal_time/MegaNegaTics", Text("LevelIntro.MegaTics") + L"1");
         }});
    auto outro =
        [](const char* layout, const char* root, std::vector<std::pair<const char*, std::wstring>> texts)
    {
        return [=](Stage& s)
        {
            s.Build(layout);
            for (const auto& [node, text] : texts)
                s.SetText(std::string(root) + "/movementNode/" + node, text);
        };
    };
    shots.push_back({"levelOutro_WinLayout", game,
                     outro("levelOutro_WinLayout", "levelOutro_Win",
                           {{"textExpertTime", Text("LevelOutro.expertTime") + L"01:30"},
                            {"textYourTime", Text("LevelOutro.yourTime") + L"02:04"}})});
    shots.push_back({"levelOutro_WinExpertLayout", game,
                     outro("levelOutro_WinExpertLayout", "levelOutro_WinExpert",
                           {{"textExpertTime", Text("LevelOutro.expertTime") + L"01:30"},
                            {"textYourTime", Text("LevelOutro.yourTime") + L"01:12"}})});
    shots.push_back({"levelOutro_LoseLayout", game, [](Stage& s) { s.Build("levelOutro_LoseLayout"); }});
    shots.push_back({"endlessOutro_HighScoreLayout", game,
                     outro("endlessOutro_HighScoreLayout", "endlessOutro_HighScore",
                           {{"textNewRecord", Text("EndlessOutro.newRecord")},
                            {"textTimeHighscore", Text("EndlessOutro.yourTimeRecord") + L"04:41"}})});
    shots.push_back({"endlessOutro_normalLayout", game,
                     outro("endlessOutro_normalLayout", "endlessOutro_normal",
                           {{"textRecordTime", Text("EndlessOutro.oldRecord") + L"04:41"},
                            {"textTimeNormal", Text("EndlessOutro.yourTimeNormal") + L"02:10"}})});
    shots.push_back(
        {"guest_profileLayout", game,
         [](Stage& s)
         {
             s.Build("guest_profileLayout");
             if (auto* photo = dynamic_cast<StaticSpriteNode*>(s.Find("guest_profile/photo")))
                 photo->SetImage(GetResource<IImage>("Miranda_intro_photo").second);
             if (auto* form = dynamic_cast<StaticSpriteNode*>(s.Find("guest_profile/form")))
                 form->SetImage(GetResource<IImage>("Miranda_intro_form").second);
             SceneNode* next = s.Build("profile_next_buttonLayout");
             if (SceneNode* button = Child(next, "button_next"))
                 button->SetParent(s.Find("guest_profile/confirm_button_attach"));
             s.Show("guest_profile/overlay/level_selection", false);
             s.Show("guest_profile/stylus_glare", false);
             SceneNode* sheet = s.Build("12Treatment_formatLayout", s.Find("guest_profile/ref_slot_12"));
             const char* marks[] = {"star", "check", "check", "", "", "", "", ""};
             for (int i = 0; i < 8; ++i)
             {
                 SceneNode* entry = s.Build("treatment_entryLayout",
                                            Child(sheet, ("slot_" + std::to_string(i + 1)).c_str()));
                 if (SceneNode* mark = Child(entry, i < 4 ? "unlocked_session" : "locked_session"))
                     mark->SetVisible(true);
                 if (SceneNode* mark = *marks[i] ? Child(entry, marks[i]) : nullptr)
                     mark->SetVisible(true);
             }
         }});
    shots.push_back({"agenda_modeLayout", "", StageCalendar});
    shots.push_back({"daily_scheduleLayout", "",
                     [](Stage& s)
                     {
                         StageCalendar(s);
                         StageDay(s);
                     }});
    shots.push_back({"EndlessSelect_RootLayout", "",
                     [](Stage& s)
                     {
                         s.Build("EndlessSelect_RootLayout");
                         for (const char* guest : {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"})
                         {
                             s.Show(std::string("EndlessSelect_Root/Overlays/overlay_") + guest,
                                    guest == std::string("Zoe"));
                             s.Show(std::string("EndlessSelect_Root/recordTime/") + guest,
                                    guest == std::string("Zoe"));
                         }
                         s.Show("EndlessSelect_Root/unselected", false);
                         s.SetText("EndlessSelect_Root/recordTime/text_recordTime",
                                   Text("EndlessSelect.LevelHighScore") + L"04:41");
                     }});
    shots.push_back({"InGameMenu", game,
                     [](Stage& s)
                     {
                         s.Build("InGameMenu");
                         s.SetText("inGameMenuRoot/title_pause", Text("PauseMenu.title"));
                     }});
    shots.push_back({"gameRootLayout", "", StagePlayfield});
    shots.push_back({"tutorialRootLayout", game,
                     [](Stage& s)
                     {
                         SceneNode* root = s.Build("tutorialRootLayout");
                         if (root)
                             root->SetPosition(240, 230);
                         s.AttachFrame("tutorialRoot/messageBubble/text_attach", "TutorialImages", 0);
                         s.Show("tutorialRoot/messageBubble/arrow/left_up");
                     }});
    return shots;
}

class Renderer
{
public:
    Renderer()
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error(std::string("SDL video: ") + SDL_GetError());
        m_window = SDL_CreateWindow("screenshots", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN);
        if (!m_window)
            throw std::runtime_error(std::string("SDL window: ") + SDL_GetError());
        new HeadlessPlatform(m_window);
        Shim::DirectDraw::InstallErrorNames();
        CDisplay::Instance();
        m_graphics = new DDraw7GraphicsPlatform();
        SetGraphicsPlatform(m_graphics);
        m_graphics->Initialize(DisplaySettings{0, 1, kWidth, kHeight});
    }
    ~Renderer()
    {
        m_graphics->Shutdown();
        SetGraphicsPlatform(nullptr);
        delete m_graphics;
        delete CDisplay::Get();
        CDisplay::ClearDeviceTable();
        delete GetPlatform();
        SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // One frame: the backdrop, then what draw draws; answers the frame read back.
    Picture Frame(const std::string& backdrop, const std::function<void()>& draw)
    {
        Picture picture;
        if (m_graphics->BeginFrame() != 0)
            return picture;
        Graphics::SetCurrentCanvas(m_graphics->GetCanvas());
        Graphics::DrawState clear = Graphics::GetDefaultDrawState();
        clear.color =
            backdrop.empty() ? ColorF(0, 0, 0, 1) : ParseColorF(Widen(backdrop + "FF"), ColorF::Black());
        Graphics::FillQuad(m_graphics->GetCanvas(), clear);
        draw();
        m_graphics->EndFrame();
        Graphics::SetCurrentCanvas(nullptr);
        CDisplay::Get()->GetBackBuffer()->ReadPixels(picture.pixels, picture.width, picture.height);
        return picture;
    }

private:
    static std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

    SDL_Window* m_window = nullptr;
    DDraw7GraphicsPlatform* m_graphics = nullptr;
};

// A quarter-size copy (box average of 4 x 4 pixels).
Picture Reduce(const Picture& p)
{
    Picture small{{}, p.width / 4, p.height / 4};
    small.pixels.resize(size_t(small.width) * size_t(small.height));
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
        {
            uint32_t sum[3] = {0, 0, 0};
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 4; ++dx)
                {
                    const uint32_t v = p.pixels[size_t(y * 4 + dy) * size_t(p.width) + size_t(x * 4 + dx)];
                    sum[0] += (v >> 16) & 0xFF;
                    sum[1] += (v >> 8) & 0xFF;
                    sum[2] += v & 0xFF;
                }
            small.pixels[size_t(y) * size_t(small.width) + size_t(x)] =
                0xFF000000u | ((sum[0] / 16) << 16) | ((sum[1] / 16) << 8) | (sum[2] / 16);
        }
    return small;
}

void Paste(Picture& sheet, const Picture& tile, int left, int top, int width, int height)
{
    for (int y = 0; y < height && y < tile.height; ++y)
        for (int x = 0; x < width && x < tile.width; ++x)
            sheet.pixels[size_t(top + y) * size_t(sheet.width) + size_t(left + x)] =
                tile.pixels[size_t(y) * size_t(tile.width) + size_t(x)];
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path data = argc > 1 ? fs::path(argv[1]) : fs::path(KESTRIN_SOURCE_DIR) / "data";
    const fs::path out = argc > 2 ? fs::path(argv[2]) : fs::path("screenshots");
    const fs::path sheetFile =
        argc > 3 ? fs::path(argv[3]) : fs::path(KESTRIN_SOURCE_DIR) / "docs" / "screens-contact.png";
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    fs::create_directories(out);

    try
    {
        DataCheck::LoadedTree tree(data);
        for (const DataCheck::Problem& p : tree.LoadReport().problems)
            std::cerr << p.file << ": " << p.what << "\n";
        Renderer renderer;
        auto* label = GetResource<Font>("Font_Body").second;

        // Every scene layout on its own, then the screens staged.
        std::set<std::string> staged;
        const std::vector<Shot> shots = Shots();
        for (const Shot& shot : shots)
            staged.insert(shot.name);
        int written = 0;
        for (const DataCheck::LoadedEntry& entry : tree.Entries())
        {
            if (entry.kind != "scenelayout" || staged.count(entry.name))
                continue;
            Stage stage;
            stage.Build(entry.name);
            written +=
                WritePng(out / (entry.name + ".png"), renderer.Frame("#5A5A66", [&] { stage.Draw(); }));
        }

        constexpr int kColumns = 4, kTileWidth = kWidth / 4, kTileHeight = kHeight / 4, kLabel = 22, kGap = 8;
        const int rows = int(shots.size() + kColumns - 1) / kColumns;
        Picture sheet{{}, kColumns * (kTileWidth + kGap) + kGap, rows * (kTileHeight + kLabel + kGap) + kGap};
        sheet.pixels.assign(size_t(sheet.width) * size_t(sheet.height), 0xFFF6EBD9u);
        for (size_t i = 0; i < shots.size(); ++i)
        {
            const Shot& shot = shots[i];
            Stage stage;
            shot.build(stage);
            const Picture picture = renderer.Frame(shot.backdrop, [&] { stage.Draw(); });
            written += WritePng(out / (shot.name + ".png"), picture);
            // The caption, drawn by the engine on a frame of its own.
            const Picture caption = renderer.Frame(
                "#F6EBD9",
                [&]
                {
                    Graphics::DrawState state = Graphics::GetDefaultDrawState();
                    state.font = label;
                    state.color = ColorF(0.227f, 0.18f, 0.224f, 1.0f);
                    const std::wstring text(shot.name.begin(), shot.name.end());
                    Graphics::DrawText(text.c_str(), 2, 1, state, Graphics::GetCurrentCanvas());
                });
            const int left = kGap + int(i % kColumns) * (kTileWidth + kGap);
            const int top = kGap + int(i / kColumns) * (kTileHeight + kLabel + kGap);
            Paste(sheet, Reduce(picture), left, top, kTileWidth, kTileHeight);
            Paste(sheet, caption, left, top + kTileHeight + 2, kTileWidth, kLabel - 2);
        }
        fs::create_directories(sheetFile.parent_path());
        if (!WritePng(sheetFile, sheet))
            throw std::runtime_error("cannot write " + sheetFile.string());
        std::cout << written << " pictures in " << out << ", contact sheet " << sheetFile << "\n";
    }
    catch (const std::exception& e)
    {
        std::cerr << "screenshots: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
