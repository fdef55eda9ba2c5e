// The names of the values in the settings key, each spelled once. Every
// reader and writer uses these, so a typo cannot quietly make a second value.
// The names are what users' keys already hold: they never change.
#pragma once

namespace zv::key {

// Written by the installer.
inline constexpr char InstallDir[] = "PATH";
inline constexpr char Language[] = "LANGUAGE";
inline constexpr char VersionToDisplay[] = "VERSION_TODISPLAY";
inline constexpr char HelpFilePath[] = "HELP_FILE_PATH";
inline constexpr char InstallerLanguage[] = "Installer Language";
inline constexpr char InstalledVersion[] = "VER";

// The main window's rectangle at its last close.
inline constexpr char WindowLeft[] = "WINDOW_LEFT";
inline constexpr char WindowTop[] = "WINDOW_TOP";
inline constexpr char WindowRight[] = "WINDOW_RIGHT";
inline constexpr char WindowBottom[] = "WINDOW_BOTTOM";

// The four most recent folders, most recent first, and the last one used.
inline constexpr char RecentFolder1[] = "LDIR1";
inline constexpr char RecentFolder2[] = "LDIR2";
inline constexpr char RecentFolder3[] = "LDIR3";
inline constexpr char RecentFolder4[] = "LDIR4";
inline constexpr const char* RecentFolders[] = {RecentFolder1, RecentFolder2, RecentFolder3, RecentFolder4};
inline constexpr char CurrentFolder[] = "LDIRCURRENT";

// Counts down with every save; the donation reminder sets it again.
inline constexpr char SavedFiles[] = "NUMBER_OF_SAVED_FILES";

// Confirmations and options: empty (or missing) means on, "1" off ...
inline constexpr char AskBeforeExit[] = "_CNF_ASK_1";
inline constexpr char AskBeforeOpen[] = "_CNF_ASK_2";
inline constexpr char AskBeforeClosingResult[] = "_CNF_ASK_3";
inline constexpr char AskWhenSkipping[] = "_CNF_ASK_4";
inline constexpr char AskWhenLosing[] = "_CNF_ASK_5";
inline constexpr char ShowInfoAfterOpen[] = "_CNF_ASK_6";
inline constexpr char AskWhenLeavingPage[] = "_CNF_ASK_7";
inline constexpr char ShowSplash[] = "_CNF_ASK_8";
inline constexpr char CheckLineEnds[] = "_CNF_ASK_10";
// ... except that this one reads as a number: 0 ("0" or empty) means on.
inline constexpr char CheckForUpdates[] = "_CNF_ASK_11";
inline constexpr char ShowTipAtStart[] = "_CNF_ASK_12";
// On only when it begins with "1".
inline constexpr char IdleEffect[] = "_CNF_ASK_9_NEW";
// "Keep exact times": empty (also a key that does not name it) is on; "1"
// gives the tenths of a second every earlier release computed in.
inline constexpr char TenthsOnly[] = "_CNF_TENTHS";

// The stamp-line: automatic when a non-zero number, its two texts and place.
inline constexpr char StampAuto[] = "STOPKA_AUTO";
inline constexpr char StampBeginning[] = "STOPKA_POCZATEK";
inline constexpr char StampEnd[] = "STOPKA_KONIEC";
inline constexpr char StampPlace[] = "STOPKA_SELECTION";

// The style Sub Station Alpha files are written with.
inline constexpr char SsaFontName[] = "_SSA_CONVERT__FONT_NAME";
inline constexpr char SsaFontSize[] = "_SSA_CONVERT__FONT_SIZE";
inline constexpr char SsaOutline[] = "_SSA_CONVERT__OUTLINE";
inline constexpr char SsaShadow[] = "_SSA_CONVERT__SHADOW";
inline constexpr char SsaPlayResY[] = "_SSA_CONVERT__PLAYERRESY";
inline constexpr char SsaBottomMargin[] = "_SSA_CONVERT__BOTTOM_MARG";
inline constexpr char SsaBorder[] = "_SSA_CONVERT__BORDER";

// The lengthening of subtitles that vanish too fast.
inline constexpr char LengthenBase[] = "_PopZnikajace_BASE_";
inline constexpr char LengthenPerCharacter[] = "_PopZnikajace_NaZNAK_";
inline constexpr char LengthenLines[] = "_PopZnikajace_LINIE_";
inline constexpr char LengthenMaxCharacters[] = "_PopZnikajace_MaxCHAR_";

// The last video AVI information was shown.
inline constexpr char LastVideo[] = "_AVI_SYNCHRO_LASTFILE_";

// The last announcement the user asked the update checker not to show again.
inline constexpr char HiddenAnnouncement[] = "UPGRADE_DoNotShowThisVersion_EXTRA";

} // namespace zv::key
