// The command identifiers every menu, toolbar button, accelerator, context
// menu and drop sends to the frame's one dispatcher.
#pragma once

namespace zv::app::cmd {

inline constexpr int Open = 40001;
inline constexpr int Save = 40002;
inline constexpr int SaveAs = 40003;
inline constexpr int About = 40004;
inline constexpr int Exit = 40005; // in a document window: close that window
inline constexpr int MoveTime = 40006;
inline constexpr int CheckForUpdate = 40007;
inline constexpr int ViewReadme = 40008;
inline constexpr int Convert = 40009;
inline constexpr int Repair = 40010;
inline constexpr int Synchronize = 40013;
inline constexpr int Unite = 40019;
inline constexpr int Split = 40020;
inline constexpr int AviInformation = 40021;
inline constexpr int Configuration = 40022;
inline constexpr int SubtitleInformation = 40023;
inline constexpr int Faq = 40024;
inline constexpr int Forum = 40025;
// The recent folders keep their historical, out-of-order numbers.
inline constexpr int RecentFolder2 = 40027;
inline constexpr int RecentFolder4 = 40028;
inline constexpr int RecentFolder1 = 40029;
inline constexpr int RecentFolder3 = 40030;
inline constexpr int Credits = 40031;
inline constexpr int TipOfTheDay = 40033;
inline constexpr int HelpContents = 40034;
inline constexpr int Donate = 40035;
inline constexpr int StampLine = 40036;
inline constexpr int OtherSoftware = 40037;
inline constexpr int SoftwarePage = 40038;
// The open file's text encoding; the parameter is the position of the
// encoding among zv::ChoosableEncodings().
inline constexpr int ChooseEncoding = 40100;

// Open's parameter: a path handed over by a drop, or a folder preset by a
// recent-folder command; anything else is a normal Open.
inline constexpr int kOpenGivenPath = 99;
inline constexpr int kOpenPresetFolder = 100;

} // namespace zv::app::cmd
