#include "harness/ScreenTables.h"

#include "Game/GameConstants.h"
#include "Screens/LevelIntroModes.h"
#include "Screens/ScreenNodes.h"
#include "UI/UINames.h"

#include <algorithm>

namespace DataCheck
{

namespace
{

using K = ResourceKind;
using N = NodeKind;

// The six guests (the guest table's last entry has no name).
std::vector<std::string> Guests()
{
    std::vector<std::string> guests;
    for (const char* name : EnumNames<GuestID>::names)
        if (*name)
            guests.emplace_back(name);
    return guests;
}

std::string PathOf(NodePath path)
{
    return std::string(GetNodePathText(path));
}

std::string PathOf(ScreenNode node)
{
    return std::string(GetScreenNodeRow(node).path);
}

// A path below `prefix`, for a layout the game builds under that node.
std::string Below(const std::string& prefix, NodePath path)
{
    const std::string text = PathOf(path);
    return text.starts_with(prefix + "/") ? text.substr(prefix.size() + 1) : text;
}

template <typename E> std::vector<std::string> NamesOf(size_t first, size_t last)
{
    return {EnumNames<E>::names.begin() + first, EnumNames<E>::names.begin() + last + 1};
}

// Every animation a creature's sprite type plays: each variant by facing and state, and the
// variant's affected state.
std::vector<std::string> CreatureAnimations()
{
    std::vector<std::string> names{"CollisionBox"};
    for (const char* variant : CreatureSpriteVariants)
    {
        for (const char* facing : CreatureAnimationPrefixes)
            for (const char* state : CreatureStateNames)
            {
                const std::string name = std::string(variant) + facing + state;
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
        names.push_back(std::string(variant) + EffectStateNames[1] + "-Continuous");
    }
    return names;
}

// A path the game keeps relative to a layout's root.
std::string UnderRoot(NodePath path)
{
    return "*/" + PathOf(path);
}

std::vector<NodeRule> Buttons(std::initializer_list<const char*> names)
{
    std::vector<NodeRule> rules;
    for (const char* name : names)
        rules.push_back({name, N::Button});
    return rules;
}

std::vector<NodeRule> Slots(int count)
{
    std::vector<NodeRule> rules;
    for (int i = 1; i <= count; ++i)
        rules.push_back({"*/slot_" + std::to_string(i), N::Any});
    return rules;
}

// The back button and the tabs of every page of the guide.
std::vector<NodeRule> GuideButtons(std::vector<NodeRule> more)
{
    for (NodeRule& rule :
         Buttons({"button_back", "button_tab_tictionary", "button_tab_about", "button_tab_help"}))
        more.push_back(rule);
    return more;
}

// The gameplay's names: the playfield's sprites, effects, images and layouts.
void AddGameNameRules(std::vector<NameRule>& rules)
{
    using C = GremlinColorType;
    const std::vector<std::string> lineColors = NamesOf<C>(size_t(C::Red), size_t(C::Purple));
    const std::string any = NameOf(C::Any), black = NameOf(C::Black);
    auto add = [&](const char* group, std::string name, K kind, int minCount = 0, int maxCount = -1,
                   std::vector<std::string> members = {}, std::vector<std::string> finite = {})
    {
        rules.push_back(
            {group, std::move(name), kind, minCount, maxCount, std::move(members), std::move(finite)});
    };
    const char* sprites = "Game-AnimationImages";
    const std::string suffix = "_CreatureStateSpriteType";

    // Creatures: 28 frames each; the explosion ends, so the king's cycle can go on.
    const std::vector<std::string> animations = CreatureAnimations();
    const std::vector<std::string> exploding{std::string(CreatureSpriteVariants[0]) +
                                             CreatureAnimationPrefixes[0] + CreatureStateNames[5]};
    auto creature = [&](GremlinKind kind, const std::string& color)
    { add(sprites, NameOf(kind) + color + suffix, K::SpriteType, 28, 28, animations, exploding); };
    for (const std::string& color : lineColors)
    {
        creature(GremlinKind::Basic, color);
        creature(GremlinKind::Indecisive, color);
    }
    for (GremlinKind kind : {GremlinKind::Shy, GremlinKind::Loner, GremlinKind::Protected,
                             GremlinKind::Agreeable, GremlinKind::Pairing})
        creature(kind, any);
    for (GremlinKind kind : {GremlinKind::SmallCircle, GremlinKind::LargeCircle, GremlinKind::Trail})
        creature(kind, black);
    const std::vector<std::string> powerUps =
        NamesOf<GremlinKind>(size_t(GremlinKind::Freeze), size_t(GremlinKind::Damage));
    for (const std::string& kind : powerUps)
        add(sprites, kind + any + suffix, K::SpriteType, 11, 11,
            {"CollisionBox", "PowerUp-Enter", "PowerUp-Idle", "PowerUp-Speared", "PowerUp-Pause"},
            {"PowerUp-Enter"});

    // Effects remove themselves when "play" ends.
    std::vector<std::string> effects{"Explosion",    "ExplosionBlack", "SpearedFX",
                                     "ShrinkingFX",  "BombHitFX",      "MegaTicDamageFX",
                                     "MegaTicDeath", "LineSparkle",    "DeepCleanSparkle"};
    for (const char* color : EnumNames<C>::names)
        effects.push_back(std::string("SludgeSparkle-") + color);
    for (const std::string& effect : effects)
        add(sprites, effect, K::SpriteType, 1, -1, {"play"}, {"play"});
    add(sprites, "TrapCaptureSpriteType", K::SpriteType, 1, -1, {"capture"}, {"capture"});
    add(sprites, "FlameSpriteType", K::SpriteType, 2, -1, {"on", "off"});
    add(sprites, "WindFXSpriteType", K::SpriteType, 7, -1, {"off", "extract", "retract"});
    for (const std::string& color : lineColors)
        add(sprites, any + color + "_TrapStateSpriteType", K::SpriteType, 3, -1, {"open-100", "closed-100"});

    // The pop-up words: one per loop result and per power-up state.
    std::vector<std::string> words = NamesOf<LoopResult>(0, EnumNames<LoopResult>::names.size() - 1);
    for (const std::string& kind : powerUps)
        for (const char* state : {"_Ready", "_Used"})
            words.push_back(kind + state);
    add("Game", "FeedbackSpriteType", K::SpriteType, int(words.size()), -1, words);

    for (const std::string& guest : Guests())
    {
        add("Game", guest + "_BGImage", K::Image);
        add("Game_Interface_EndlessMode", "TextImage_" + guest, K::Image);
    }
    for (const char* image : {"HudBar", "RedFlash", "CreatureShadow", "YarnBallImage", "sludgeBGImage-Black",
                              "bannerMSG_normal", "bannerMSG_endless", "bannerMSG_warning",
                              "bannerMSG_lastWarning", "bannerMSG_gunkClear", "bannerMSG_gunkReturn"})
        add("Game", image, K::Image);
    add("Game", "LineImages", K::ImageList, 7); // tints 0-4, shadow 5, retracting 6
    add("Game", "LineSparkleImages", K::ImageList, 5);
    add("Game", "MegaNegaTicHealthImages", K::ImageList, 6, 6); // 0..5 pips
    for (const char* color : EnumNames<C>::names)
        if (std::string(color) != any)
            add("Game", std::string("sludgeBGImageList-") + color, K::ImageList, 5, 5); // depth 1..5
    add("Game_Interface_EndlessMode", "endlessMeterBar", K::ImageList, 2);
    add("Game_Interface_EndlessMode", "MeterFlash", K::Image);

    for (const char* layout :
         {"gameRootLayout", "CreatureLayout", "TrapLayout", "crownLayout", "feedbackPopupLayout"})
        add("Game", layout, K::SceneLayout);
    add("Game_Interface_NormalMode", "game_interfaceLayout", K::SceneLayout);
    add("Game_Interface_EndlessMode", "endless_game_interfaceLayout", K::SceneLayout);

    for (const char* sound : {"SFX_BasicTicEnter",     "SFX_MegaTicEnter", "SFX_MegaTicTrail",
                              "SFX_MegaTicDamaged",    "SFX_MegaTicDie",   "SFX_MegaTicExplodeWarning",
                              "SFX_MegaTicExplode",    "SFX_PosiTicEnter", "SFX_ExplodeWarning",
                              "SFX_TicExplode",        "SFX_BadSpear",     "SFX_EnterTrap",
                              "SFX_LineSpear",         "SFX_ClickTrap",    "SFX_BeginLine",
                              "SFX_TimeWarning",       "SFX_GunkGone",     "SFX_ObstacleDisappear",
                              "SFX_LoopSuccess",       "SFX_LoopFail",     "SFX_BigLoopFail",
                              "SFX_PositicSpawnSpear", "SFX_ClearGunk",    "SFX_EndlessGunkSpawn"})
        add("resources", sound, K::Sound);
    for (const char* kind : {"BasicRed", "BasicGreen", "BasicBlue", "BasicYellow", "BasicPurple"})
        add("resources", std::string("SFX_TicSpeared-") + kind, K::Sound);
    for (size_t k = size_t(GremlinKind::Shy); k <= size_t(GremlinKind::Damage); ++k)
        add("resources", std::string("SFX_TicSpeared-") + EnumNames<GremlinKind>::names[k], K::Sound);
    for (size_t k = size_t(GremlinKind::SmallCircle); k <= size_t(GremlinKind::Damage); ++k)
        add("resources", std::string("SFX_Action-") + EnumNames<GremlinKind>::names[k], K::Sound);
    // The level's ambient sounds wait a random time between these.
    add("resources", "ambientDelayMin", K::Float);
    add("resources", "ambientDelayMax", K::Float);
}

// The check reads one rule per layout: a rule for a layout that has one already joins it.
void AddRule(std::vector<LayoutRule>& rules, LayoutRule more)
{
    auto rule = std::find_if(rules.begin(), rules.end(),
                             [&](const LayoutRule& each) { return each.layout == more.layout; });
    if (rule == rules.end())
    {
        rules.push_back(std::move(more));
        return;
    }
    rule->paths.insert(rule->paths.end(), more.paths.begin(), more.paths.end());
    rule->objects.insert(rule->objects.end(), more.objects.begin(), more.objects.end());
}

// The playing screen's layouts, with the node kinds the plan gives them. The layer nodes are of
// any kind until their kinds are registered.
void AddGameLayoutRules(std::vector<LayoutRule>& rules)
{
    using P = NodePath;
    AddRule(rules, {"Game",
                    "gameRootLayout",
                    {{PathOf(P::LevelBackground), N::StaticSprite},
                     {PathOf(P::LevelMouseHandler), N::Any},
                     {"gamemoderoot/mouseIgnoreNode", N::Any},
                     {PathOf(P::TerrainLayerNode), N::Any},
                     {PathOf(P::CreatureLayerNode), N::Any},
                     {PathOf(P::LineAttachLayerNode), N::Any},
                     {PathOf(P::PopupLayerNode), N::Any},
                     {PathOf(P::BannerBackground), N::Any},
                     {PathOf(P::BannerTextImage), N::StaticSprite}},
                    {}});
    const std::string gui = PathOf(ScreenNode::HudAttach);
    AddRule(rules, {"Game_Interface_NormalMode",
                    "game_interfaceLayout",
                    {{Below(gui, P::GuiTimer), N::TextSprite},
                     {Below(gui, P::GuiExpertTime), N::TextSprite},
                     {Below(gui, P::GuiHeadIconAttach), N::Any},
                     {Below(gui, P::GuiRedFlash), N::StaticSprite}},
                    Buttons({"button_pause"})});
    AddRule(rules, {"Game_Interface_EndlessMode",
                    "endless_game_interfaceLayout",
                    {{Below(gui, P::GuiTimer), N::TextSprite},
                     {Below(gui, P::GuiRedFlash), N::StaticSprite},
                     {Below(gui, P::GuiMeterBarAttach), N::Any},
                     {Below(gui, P::GuiMeterFlash), N::StaticSprite},
                     {Below(gui, P::GuiSimulationName), N::Any}},
                    Buttons({"button_pause"})});
    // Found from each layout's root; the trap's level name, the number image and the gem are
    // looked up by no one.
    AddRule(rules, {"Game",
                    "TrapLayout",
                    {{PathOf(P::TrapImage), N::AnimatedSprite},
                     {PathOf(P::TrapWindFX), N::AnimatedSprite},
                     {PathOf(P::TrapCaptureFX), N::Any}},
                    {}});
    AddRule(rules, {"Game",
                    "CreatureLayout",
                    {{UnderRoot(P::CreatureScaleNode), N::Any},
                     {UnderRoot(P::CreatureImage), N::AnimatedSprite},
                     {UnderRoot(P::CreatureFlameImage), N::AnimatedSprite},
                     {"*/scaleNode/shadow", N::StaticSprite}},
                    {}});
    // Its root becomes the scale node's child of this name.
    AddRule(rules, {"Game",
                    "crownLayout",
                    {{Below(PathOf(P::CreatureScaleNode), P::CreatureHealthBar), N::StaticSprite}},
                    {}});
    AddRule(rules,
            {"Game", "feedbackPopupLayout", {{UnderRoot(P::FeedbackPopupTextImage), N::AnimatedSprite}}, {}});
}

std::vector<NameRule> MakeNameRules()
{
    std::vector<NameRule> rules;
    auto add = [&](const char* group, std::string name, K kind, int minCount = 0, int maxCount = -1,
                   std::vector<std::string> members = {}) {
        rules.push_back({group, std::move(name), kind, minCount, maxCount, std::move(members)});
    };

    // Shared by several screens, loaded at start-up.
    add("resources", "CursorArrow", K::Image);
    add("resources", "AllUIButtonSounds", K::SoundList, 0, -1, {"Hot", "Down"});
    add("resources", "PageFlipButtonSounds", K::SoundList, 0, -1, {"Hot", "Down"});
    add("resources", "CheckBoxSounds", K::SoundList, 0, -1, {"Hot", "Down", "Checked", "Unchecked"});
    add("resources", "SliderSounds", K::SoundList, 0, -1, {"Hot", "Down", "Snap"});
    for (const char* sound :
         {"SFX_UI_dialog", "SFX_NewDayUnlock", "SFX_FinalWarning", "AmbientGameSounds", "MUSIC_Lobby",
          "MUSIC_Cutscene", "MUSIC_Intro", "MUSIC_LevelFailure", "MUSIC_LevelSuccess", "MUSIC_LevelExpert",
          "MUSIC_Tictionary", "MUSIC_TicIntro", "MUSIC_GuestIntro", "MUSIC_melody"})
        add("resources", sound, K::Sound);
    for (const std::string& guest : Guests())
    {
        add("resources", "MUSIC_rhythm_" + guest, K::Sound);
        add("resources", guest + "_icon", K::ImageList, 2); // frame 1 is the head the intro and HUD show
    }
    add("resources", "baseMelodyVolume", K::Float);
    add("resources", "baseRhythmVolume", K::Float);
    add("resources", "ambientDelayMin", K::Float);
    add("resources", "ambientDelayMax", K::Float);
    add("resources", "blue_sml", K::ImageList, 10); // sparkles draw frames 0 to 9
    for (const char* font : {"Font_Title", "Font_Heading", "Font_Button", "Font_Body", "Font_Small",
                             "HudFont", "CustomSpearFont", "CustomSpearFontLarge"})
        add("resources", font, K::Font);

    const int tutorials = int(TutorialNames.size());
    add("Tutorial_Window", "TutorialImages", K::ImageList, tutorials, tutorials); // frame = tutorial id
    add("Tutorial_Window", "tutorialRootLayout", K::SceneLayout);
    for (const char* arrow : {"Tut_Arrow_LU", "Tut_Arrow_LD", "Tut_Arrow_RU", "Tut_Arrow_RD"})
        add("Tutorial_Window", arrow, K::Image);

    add("Title_MainMenu", "titlescreenLayout", K::SceneLayout);
    add("Title_MainMenu", "main_menuLayout", K::SceneLayout);
    add("Title_MainMenu", "titlescreen_image_odalee", K::Image);
    add("Loading", "LoadingMode", K::WidgetLayout);
    add("Loading", "PublisherDisplayTime", K::Float);
    add("Options", "Options", K::SceneLayout);
    add("QuitConfirm", "QuitConfirm", K::SceneLayout);
    add("InGameMenu", "InGameMenu", K::SceneLayout);

    std::vector<std::string> pages;
    for (int i = 0; i < Kestrin::CreditsPageCount; ++i)
        pages.emplace_back(Kestrin::GetCreditsPageName(i).c_str());
    add("Credits", "CreditsLayout", K::SceneLayout);
    add("Credits", "CreditsPagesType", K::SpriteType, Kestrin::CreditsPageCount, -1, pages);

    for (const char* layout :
         {"Account", "AccountEntry", "popup_new_profileLayout", "popup_delete_profileLayout"})
        add("Account", layout, K::SceneLayout);
    add("Account", "profileUnselectedColor", K::Color);
    add("Account", "profileSelectedColor", K::Color);
    add("Account", "Chalet-NewYorkNineteenEighty11", K::Font);

    add("Encyclopedia", "TictionaryMainLayout", K::SceneLayout);
    add("Encyclopedia_Tics", "Tictionary_TicProfileLayout", K::SceneLayout);
    add("Encyclopedia_About_Tics", "Tictionary_aboutLayout", K::SceneLayout);
    add("Encyclopedia_Help", "Tictionary_GameHelpLayout", K::SceneLayout);
    add("Tic_Intro", "ticIntroRootLayout", K::SceneLayout);
    for (const char* kind : TicKindNames)
    {
        add("Encyclopedia", std::string("TicButton_") + kind, K::ImageList, 5, 5); // button states
        add("Encyclopedia_Tics", std::string("TicProfile_") + kind, K::Image);
        add("Tic_Intro", std::string("TicIntro_") + kind, K::Image);
    }

    add("LevelIntroMode", "level_introRootLayout", K::SceneLayout);
    add("Level_Outro_Endless", "endlessOutro_HighScoreLayout", K::SceneLayout);
    add("Level_Outro_Endless", "endlessOutro_normalLayout", K::SceneLayout);
    add("Level_Outro_NormalLose", "levelOutro_LoseLayout", K::SceneLayout);
    add("Level_Outro_NormalWin", "levelOutro_WinLayout", K::SceneLayout);
    add("Level_Outro_NormalWin", "levelOutro_WinExpertLayout", K::SceneLayout);

    for (const char* layout :
         {"guest_profileLayout", "profile_next_buttonLayout", "profile_back_buttonLayout",
          "12Treatment_formatLayout", "15Treatment_formatLayout", "treatment_entryLayout"})
        add("Level_Select_Introduction", layout, K::SceneLayout);
    add("Level_Select_Introduction", "Jillian2_intro_photo", K::Image);

    for (const char* layout :
         {"agenda_modeLayout", "guest_treatmentLayout", "completedButtonLayout", "currentButtonLayout"})
        add("Level_Select_Month", layout, K::SceneLayout);
    add("Level_Select_Month", "Agenda_button_unlocked_day", K::ImageList, 1);
    add("Level_Select_Day", "daily_scheduleLayout", K::SceneLayout);
    add("Level_Select_Day", "guest_comboLayout", K::SceneLayout);
    add("Level_Select_Day", "ApptTimeImages", K::ImageList, 5); // frame k - 1 for the k-th appointment
    for (int n = 2; n <= 5; ++n)
    {
        add("Level_Select_Month", std::to_string(n) + "guest_day_iconLayout", K::SceneLayout);
        add("Level_Select_Day", std::to_string(n) + "guest_formatLayout", K::SceneLayout);
    }
    for (const std::string& guest : Guests())
    {
        add("Level_Select_Introduction", guest + "_intro_photo", K::Image);
        add("Level_Select_Introduction", guest + "_intro_form", K::Image);
        // The calendar sets animation 0, 1 or 2 by the appointment's state.
        add("Level_Select_Month", guest + "_iconSpriteType", K::SpriteType, 3, -1,
            {"inprogress", "completed", "locked"});
        add("Level_Select_Day", guest + "_buttonLayout", K::SceneLayout);
    }
    add("Level_Select_EndlessMode", "EndlessSelect_RootLayout", K::SceneLayout);
    AddGameNameRules(rules);
    return rules;
}

NodeKind KindOf(ScreenNodeKind kind)
{
    switch (kind)
    {
    case ScreenNodeKind::Any:
        return N::Any;
    case ScreenNodeKind::StaticSprite:
        return N::StaticSprite;
    case ScreenNodeKind::AnimatedSprite:
        return N::AnimatedSprite;
    case ScreenNodeKind::TextSprite:
        return N::TextSprite;
    case ScreenNodeKind::StyledTextSprite:
        return N::StyledTextSprite;
    case ScreenNodeKind::Button:
        return N::Button;
    }
    return N::Any;
}

// The screens' own table: each row joins the rules of its layouts.
void AddScreenNodeRows(std::vector<LayoutRule>& rules)
{
    for (const ScreenNodeRow& row : ScreenNodeRows)
        for (const ScreenLayoutRow& layout : ScreenLayoutRows)
            if (row.layouts.Has(layout.id))
                AddRule(rules,
                        {layout.group, layout.layout, {{std::string(row.path), KindOf(row.kind)}}, {}});
}

std::vector<LayoutRule> MakeLayoutRules()
{
    std::vector<LayoutRule> rules;
    const std::vector<std::string> guests = Guests();

    rules.push_back({"Title_MainMenu", "titlescreenLayout", {}, {}, true});
    rules.push_back({"Title_MainMenu",
                     "main_menuLayout",
                     {},
                     Buttons({"play_tanglewisp", "play_neverending", "options", "credits", "high",
                              "nameplate_button", "tictionary", "quit"})});

    LayoutRule options{"Options", "Options", {}, Buttons({"ExitOk", "ExitCancel"})};
    for (const char* box : {"FullScreen", "UseCustomCursor", "MuteSound", "MuteMusic"})
        options.objects.push_back({box, N::CheckBox});
    options.objects.push_back({"Sound", N::Slider});
    options.objects.push_back({"Music", N::Slider});
    rules.push_back(options);

    rules.push_back({"QuitConfirm", "QuitConfirm", {}, Buttons({"NoQuit", "YesQuit"})});
    rules.push_back({"Credits", "CreditsLayout", {}, Buttons({"MainMenu", "Next", "Prev"})});

    rules.push_back({"Account", "Account", {}, Buttons({"New", "Delete", "OK", "Cancel"})});
    rules.push_back({"Account", "AccountEntry", {{"*", N::TextSprite}}, {}});
    LayoutRule newProfile{"Account", "popup_new_profileLayout", {}, Buttons({"OK", "Cancel"})};
    newProfile.objects.push_back({"AccountName", N::TextEdit});
    rules.push_back(newProfile);
    rules.push_back({"Account", "popup_delete_profileLayout", {}, Buttons({"OK", "Cancel"})});

    std::vector<NodeRule> entries;
    for (const char* kind : TicKindNames)
        entries.push_back({std::string("button_") + kind, N::Button});
    rules.push_back({"Encyclopedia", "TictionaryMainLayout", {}, GuideButtons(entries)});
    rules.push_back({"Encyclopedia_Tics",
                     "Tictionary_TicProfileLayout",
                     {},
                     GuideButtons(Buttons({"button_prev", "button_next", "button_returnToCollection"}))});
    rules.push_back({"Encyclopedia_About_Tics", "Tictionary_aboutLayout", {}, GuideButtons({})});
    rules.push_back({"Encyclopedia_Help",
                     "Tictionary_GameHelpLayout",
                     {},
                     GuideButtons(Buttons({"basics", "gamePlay", "tips"}))});
    rules.push_back({"Tic_Intro", "ticIntroRootLayout", {}, Buttons({"button_next"})});

    LayoutRule intro{"LevelIntroMode",
                     "level_introRootLayout",
                     {{PathOf(ScreenNode::IntroGoalTime) + "/MegaNegaTics", N::StyledTextSprite}},
                     Buttons({"button_next"})};
    for (ScreenNode panel : {ScreenNode::IntroGoalTimeTic, ScreenNode::IntroGoalTime})
    {
        intro.paths.push_back({PathOf(panel) + "/head_attach", N::Any});
        for (const char* text : {"Expert", "Session", "guestFullName"})
            intro.paths.push_back({PathOf(panel) + "/" + text, N::StyledTextSprite});
    }
    rules.push_back(intro);

    rules.push_back({"Level_Outro_NormalLose",
                     "levelOutro_LoseLayout",
                     {},
                     Buttons({"button_tryAgain", "button_mainMenu"})});

    rules.push_back({"Level_Select_Introduction",
                     "profile_next_buttonLayout",
                     {{"*/button_next", N::Button}},
                     Buttons({"button_next"})});
    rules.push_back({"Level_Select_Introduction",
                     "profile_back_buttonLayout",
                     {{"*/button_back", N::Button}},
                     Buttons({"button_back"})});
    rules.push_back({"Level_Select_Introduction", "12Treatment_formatLayout", Slots(12), {}});
    rules.push_back({"Level_Select_Introduction", "15Treatment_formatLayout", Slots(15), {}});
    rules.push_back({"Level_Select_Introduction",
                     "treatment_entryLayout",
                     {{"*/locked_session", N::Any},
                      {"*/unlocked_session", N::Any},
                      {"*/check", N::Any},
                      {"*/star", N::Any}},
                     {}});

    rules.push_back({"Level_Select_Month",
                     "agenda_modeLayout",
                     {},
                     Buttons({"button_mainmenu", "button_cf", "scene1", "scene2", "scene3", "scene4"})});
    rules.push_back({"Level_Select_Month",
                     "guest_treatmentLayout",
                     {{"*/treatment_icon", N::AnimatedSprite}, {"*/expert_icon", N::StaticSprite}},
                     {}});
    rules.push_back({"Level_Select_Month", "completedButtonLayout", {{"*/button", N::Button}}, {}});
    rules.push_back({"Level_Select_Month", "currentButtonLayout", {{"*/button", N::Button}}, {}});
    for (int n = 2; n <= 5; ++n)
    {
        rules.push_back({"Level_Select_Month", std::to_string(n) + "guest_day_iconLayout", Slots(n), {}});
        rules.push_back({"Level_Select_Day", std::to_string(n) + "guest_formatLayout", Slots(n), {}});
    }

    rules.push_back({"Level_Select_Day", "daily_scheduleLayout", {}, Buttons({"button_back"})});
    rules.push_back({"Level_Select_Day",
                     "guest_comboLayout",
                     {{"*/apptTime", N::Any},
                      {"*/level_button_attach", N::Any},
                      {"*/button_profile", N::Button},
                      {"*/normal_checkmark", N::Any},
                      {"*/expert_star", N::StaticSprite},
                      {"*/no_access_overlay", N::Any}},
                     {}});
    for (const std::string& guest : guests)
        rules.push_back({"Level_Select_Day", guest + "_buttonLayout", {{"*/button", N::Button}}, {}});

    LayoutRule endless{"Level_Select_EndlessMode",
                       "EndlessSelect_RootLayout",
                       {{PathOf(ScreenNode::EndlessOverlays) + "/overlay_Begin", N::Any},
                        {"EndlessSelect_Root/level_buttons", N::Any}},
                       Buttons({"buttonReturnMainMenu", "buttonBeginTraining"})};
    for (const std::string& guest : guests)
    {
        endless.paths.push_back({PathOf(ScreenNode::EndlessOverlays) + "/overlay_" + guest, N::Any});
        endless.paths.push_back({PathOf(ScreenNode::EndlessRecordTime) + "/" + guest, N::Any});
        endless.objects.push_back({"button_" + guest, N::Button});
    }
    rules.push_back(endless);

    rules.push_back({"InGameMenu",
                     "InGameMenu",
                     {{"inGameMenuRoot/title_pause", N::StyledTextSprite}},
                     Buttons({"ResumeGame", "Options", "MainMenu", "button_help", "Quit"})});

    LayoutRule tutorial{"Tutorial_Window",
                        "tutorialRootLayout",
                        {{PathOf(NodePath::TutorialMessageBubble), N::Any},
                         {PathOf(NodePath::TutorialTextAttach), N::Any},
                         {PathOf(NodePath::TutorialArrow), N::Any},
                         {PathOf(NodePath::TutorialMessageBubble) + "/buttonOK", N::Button}},
                        {{"TutorialRootNode", N::Any}, {"buttonOK", N::Button}}};
    for (const char* arrow : TutorialArrowNames)
        tutorial.paths.push_back({PathOf(NodePath::TutorialArrow) + "/" + arrow, N::StaticSprite});
    rules.push_back(tutorial);

    AddScreenNodeRows(rules);
    AddGameLayoutRules(rules);
    return rules;
}

std::vector<std::string> MakeRequiredKeys()
{
    std::vector<std::string> keys{"UI.expert",
                                  "GuestFullName.",
                                  "LevelIntro.Expert",
                                  "LevelIntro.Session",
                                  "LevelIntro.MegaTics",
                                  "LevelOutro.expertTime",
                                  "LevelOutro.yourTime",
                                  "EndlessOutro.newRecord",
                                  "EndlessOutro.oldRecord",
                                  "EndlessOutro.yourTimeNormal",
                                  "EndlessOutro.yourTimeRecord",
                                  "EndlessSelect.LevelHighScore",
                                  "PauseMenu.title",
                                  "Options.title",
                                  "Options.mute",
                                  "Options.musicvolume",
                                  "Options.soundvolume",
                                  "Options.fullscreen",
                                  "QuitConfirm.title",
                                  "QuitConfirm.quit",
                                  "QuitConfirm.mainmenu",
                                  "Credits.title",
                                  "Profile.title",
                                  "Profile.instructions",
                                  "Profile.NewTitle",
                                  "Profile.NewInstructions",
                                  "Profile.ErrorNameLength",
                                  "Profile.ErrorDuplicate",
                                  "Profile.DeleteTitle",
                                  "Profile.DeleteInstructions"};
    for (const std::string& guest : Guests())
        keys.push_back("GuestFullName." + guest);
    // The sources of the texts baked into pictures.
    for (size_t id = 0; id < TutorialNames.size(); ++id)
        keys.push_back("Img.Tutorial." + std::to_string(id));
    for (const char* kind : TicKindNames)
        for (const char* part : {"Img.TicName.", "Img.TicProfile.", "Img.TicTip."})
            keys.push_back(part + std::string(kind));
    return keys;
}

} // namespace

const std::vector<NameRule>& ScreenNameRules()
{
    static const std::vector<NameRule> rules = MakeNameRules();
    return rules;
}

const std::vector<LayoutRule>& ScreenLayoutRules()
{
    static const std::vector<LayoutRule> rules = MakeLayoutRules();
    return rules;
}

const std::vector<std::string>& RequiredTextKeys()
{
    static const std::vector<std::string> keys = MakeRequiredKeys();
    return keys;
}

const std::vector<std::string>& LabelTextKeys()
{
    static const std::vector<std::string> keys{
        "LevelIntro.Expert",           "LevelIntro.Session",          "LevelIntro.MegaTics",
        "LevelOutro.expertTime",       "LevelOutro.yourTime",         "EndlessOutro.oldRecord",
        "EndlessOutro.yourTimeNormal", "EndlessOutro.yourTimeRecord", "EndlessSelect.LevelHighScore"};
    return keys;
}

const std::vector<GoalTextRule>& GoalTextRules()
{
    // A session is won once the gunk is gone and then every Tic is caught, before the clock ends;
    // an endless session lasts until the gunk overflows.
    const std::vector<std::string> session{"gunk", "every Tic", "before"};
    const std::vector<std::string> endless{"gunk", "overflow"};
    static const std::vector<GoalTextRule> rules{{"Help.basics", session},
                                                 {"LevelIntro.goal", session},
                                                 {"Img.Tutorial.0", session},
                                                 {"Img.Banner.normal", {"gunk", "every Tic"}},
                                                 {"Help.gameplay", endless},
                                                 {"Img.Banner.endless", endless},
                                                 {"Img.Endless.intro", endless},
                                                 {"Img.Endless.instruction", endless},
                                                 {"1-01 Harley.description", {"gunk", "Tics"}},
                                                 // A kind joins the guide when its level is won.
                                                 {"About.text", {"win the session", "joins this guide"}}};
    return rules;
}

const std::vector<ContrastRule>& ScreenContrastRules()
{
    // The picked player's name on the row highlight of the profile card.
    static const std::vector<ContrastRule> rules{
        {"Account", "profileSelectedColor", "SelectedRow", "Popup9"}};
    return rules;
}

const std::vector<MovieRule>& ScreenMovieRules()
{
    static const std::vector<MovieRule> rules = []
    {
        // The title movies play over the loading screen, which holds "Title_MainMenu" from the
        // start; the calendar, and the success outro that returns to it, play the story films;
        // the Tic introduction plays the basics of the kinds that levels unlock.
        std::vector<MovieRule> list{{"Logos", "Title_MainMenu"}, {"Intro-Commerical", "Title_MainMenu"}};
        for (int film = 1; film <= 4; ++film)
            list.push_back({"AllAnimations/interstitial" + std::to_string(film), "Level_Select_Month"});
        for (const char* kind : TicKindNames)
            if (const char* movie = TicIntroMode::MovieOf(kind))
                list.push_back({movie, "Tic_Intro"});
        return list;
    }();
    return rules;
}

const std::vector<HueRule>& CreatureHueRules()
{
    // Under a third of the least hue between two spools' colours (red and yellow, 40 degrees).
    constexpr double bound = 12.0;
    static const std::vector<HueRule> rules = []
    {
        using C = GremlinColorType;
        std::vector<HueRule> list;
        auto add = [&](GremlinKind kind, const char* color)
        {
            list.push_back({"Game-AnimationImages",
                            NameOf(kind) + std::string(color) + CreatureSpriteTypeSuffix, bound});
        };
        for (const std::string& color : NamesOf<C>(size_t(C::Red), size_t(C::Purple)))
            for (GremlinKind kind : {GremlinKind::Basic, GremlinKind::Indecisive})
                add(kind, color.c_str());
        // Striped in every spool's colour: the whole spread must stay.
        for (GremlinKind kind : {GremlinKind::Shy, GremlinKind::Loner, GremlinKind::Protected,
                                 GremlinKind::Agreeable, GremlinKind::Pairing})
            add(kind, NameOf(C::Any));
        return list;
    }();
    return rules;
}

} // namespace DataCheck
