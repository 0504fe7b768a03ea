#pragma once
// A run without a player, for the developer and the headless check: "-tour <folder>" lets the
// start-up road play to the main menu, walks from there through the menu's screens by clicking
// their buttons (credits, options, the story road from the calendar to the first level's card and
// the level itself with its Tic's film and introduction and its tutorials, the next appointment,
// the encyclopedia's pages, endless selection, the profile list with its pop-ups), saves a picture
// of every screen that stays on top for a moment (a movie's is the movie host's frame, its colour
// and poster), then asks to quit with Escape and answers "yes", so the program ends through its
// normal shutdown. On the level it draws a line from a trap for its picture, pauses, lets the clock
// run out, tries again and wins, so the outros have theirs too. The log says when each screen came
// on top and how much memory the program held at the main menu.
#include "Framework/CommandLine.h"
#include "Platform/ApplicationMode.h"
#include "Runs/ProgramRun.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ScreenTour : public ProgramRun
{
public:
    // The argument after "-tour" on the command line, if the switch is there and one follows.
    static std::optional<std::string> FolderFromCommandLine(const Kestrin::CommandLine& line);

    explicit ScreenTour(std::string folder);

    // Every update step: notices a new top screen, and drives the main menu and the quit question.
    void Update(float dt) override;
    // After the screens are drawn: the picture, when one is due.
    void OnAfterDraw() override;

    // The pictures written so far, as paths.
    const std::vector<std::string>& GetShots() const { return m_shots; }

    // Long enough for a pop-up to settle, short enough for the loading screen's last second.
    static constexpr float kTimeBeforeShot = 0.8f;
    // A movie's poster fades in over its first three quarters of a second.
    static constexpr float kTimeBeforeMovieShot = 1.5f;
    // Between two clicks on one screen.
    static constexpr float kTimeBetweenClicks = 0.3f;
    // How long a screen may take to show a button of the walk before the walk passes it over.
    static constexpr float kTimeToShowButtons = 3.0f;

    // One click of the walk: on a screen of that class, the button of that object name, after
    // typing the text into the screen's name field when there is one.
    struct Step
    {
        const char* screen;
        const char* button;
        const wchar_t* text = nullptr;
    };
    static const std::vector<Step>& GetWalk();
    // A step of this "button" presses Escape instead of clicking.
    static constexpr const char* kEscapeKey = "<Escape>";
    // On the game screen: once the level has started, press on its first trap and draw a line out
    // of it for kTimeDrawing; the picture is taken with the pen still down, then it is let go.
    static constexpr const char* kDrawLine = "<DrawLine>";
    // On the game screen: the clock runs out (the level's own end test then loses it).
    static constexpr const char* kTimeUp = "<TimeUp>";
    // On the game screen: the level is won, as its end test decides when the board is clear.
    static constexpr const char* kWin = "<Win>";
    static constexpr float kTimeDrawing = 2.5f;
    static constexpr float kTimeBeforeWin = 2.0f;
    // Clicks the button in the middle through the main loop's input; false when it is missing,
    // hidden or disabled. Rows of one kind share their buttons' names: the first that can be
    // clicked in the order the scene shows them, or the last (a calendar's newest day).
    static bool ClickButton(Kestrin::ApplicationMode* top, const char* name, bool last = false);
    // The name the tour gives the first profile when the menu asks for one.
    static constexpr const wchar_t* kProfileName = L"Tour Guide";
    static constexpr const wchar_t* kWalkerName = L"Walker";

private:
    void TakeShot();
    // Draws the line of a kDrawLine step; true while its picture has to wait.
    bool DrawLine(Kestrin::ApplicationMode* top, float dt);
    // The steps that act on the level rather than click a button: nothing for any other step,
    // false while the level is not ready for it (its banner is still up), true once done.
    std::optional<bool> ActOnLevel(Kestrin::ApplicationMode* top, const Step& step);
    // How long a screen stands before its picture: the outros are shown once their words are in.
    static float TimeBeforeShot(Kestrin::ApplicationMode* top);
    void Act(Kestrin::ApplicationMode* top);
    // The next click of the walk; false once the walk is over.
    bool Walk(Kestrin::ApplicationMode* top);
    // False for a step that would touch profiles the tour did not make.
    static bool MayTake(Kestrin::ApplicationMode* top, const Step& step);
    long MillisecondsSinceStart() const;

    std::string m_folder;
    std::chrono::steady_clock::time_point m_start;
    Kestrin::ApplicationMode* m_top = nullptr;
    float m_onTop = 0.0f;
    bool m_shotDue = false;
    bool m_shotTaken = false;
    float m_sinceClick = 0.0f;
    size_t m_step = 0;
    // The menu's last click, made again after the first-profile question took it.
    size_t m_menuStep = 0;
    bool m_asked = false;
    bool m_answered = false;
    // The pen of a kDrawLine step: where it is, whether it is down, how long it has drawn.
    float m_penX = 0.0f, m_penY = 0.0f;
    bool m_penDown = false;
    float m_drawn = 0.0f;
    std::vector<std::string> m_shots;
};

// The resident memory of this process in kilobytes (Linux); 0 when it cannot be read.
long GetResidentKilobytes();
