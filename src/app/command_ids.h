// Command IDs of the desktop program.
//
// Every menu command, toolbar button and accelerator keeps the numeric ID users and scripts
// know it by. Each QAction carries its ID in the "commandId" property and in its object name
// ("ID_57600"), so tests and tools find an action by ID.
#pragma once

namespace CommandId {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintDirect = 57608;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileMruFirst = 57616;  // the recent-file list: 57616 .. 57621
inline constexpr int RecentFileCount = 6;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditPaste = 57637;
inline constexpr int EditUndo = 57643;
inline constexpr int WindowNew = 57648;
inline constexpr int WindowArrange = 57649;
inline constexpr int WindowCascade = 57650;
inline constexpr int WindowTile = 57651;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int HelpSearch = 57667;
inline constexpr int HelpContent = 57670;
inline constexpr int NextPane = 57680;
inline constexpr int PrevPane = 57681;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;
inline constexpr int NewLinkingIni = 32771;
inline constexpr int LoadLinkingIni = 32772;
inline constexpr int RunLinking = 61446;
inline constexpr int ShowResults = 32773;  // Run > Results: the results window
}  // namespace CommandId
