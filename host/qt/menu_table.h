// The main window's menu bar as data: one row per menu, item or separator,
// in order, with its nesting level, text (a "\t" separates the key shown),
// command identifier, accelerator key and kind of mark.
#pragma once

enum class MenuKind { Menu, Item, Separator };
enum class MenuMark { None, Check, Radio };

struct MenuEntry {
    int level; // 0 the menu bar's menus, 1 their items, 2 submenu items
    MenuKind kind;
    const char* text;     // nullptr for a separator
    int id;               // command identifier; 0 for menus and separators
    const char* shortcut; // Qt key sequence, or nullptr
    MenuMark mark;
};

extern const MenuEntry MenuTable[];
extern const int MenuTableSize;

// Command identifiers.
enum : int {
    CmdAutostart = 40004,
    CmdExit = 40005,
    CmdPaste = 40007,
    CmdMonitor = 40009,
    CmdReset = 40010,
    CmdPause = 40011,
    CmdAbout = 40013,
    CmdSpeedFirst = 40014, // 40014-40020: speed index 0-6
    CmdSpeedLast = 40020,
    CmdSaveAs = 40021,
    CmdCycleBased = 40025,
    CmdFullScreen = 40028,
    CmdKeepAspect = 40031,
    CmdTapeSound = 40034,
    CmdLoad = 40035,
    CmdCopyBitmap = 40036,
    CmdMemoryDump = 40037,
    CmdVideoFirst = 40039, // 40039-40041: video driver 0-2
    CmdVideoLast = 40041,
    CmdSoundFirst = 40042, // 40042-40044: sound driver 0-2
    CmdSoundLast = 40044,
    CmdCopyText = 40045,
    CmdDetachDisks = 40046,
    CmdAttachFirst = 40047, // 40047-40050: drive DR0-DR3
    CmdAttachLast = 40050,
    CmdDosFirst = 40055, // 40055-40057: none, ABCDOS, UFDDOS; Open DOS is CmdDosOpen
    CmdDosLast = 40057,
    CmdDosOpen = 40062,
    CmdBasicFirst = 40058, // 40058-40060: old, new, external
    CmdBasicLast = 40060,
    CmdHardReset = 40061,
    CmdSoundRecording = 40067,
    CmdScreenshot = 40068,
    CmdFastTape = 40080,
    CmdTapeInsert = 40081,
    CmdTapeRecord = 40082,
    CmdTapeRewind = 40083,
    CmdTapeEject = 40084,
    CmdSaveState = 40100,
    CmdLoadState = 40101,
    CmdQuickSaveFirst = 40102, // 40102-40105: save to quick slot 1-4
    CmdQuickSaveLast = 40105,
    CmdQuickLoadFirst = 40106, // 40106-40109: load from quick slot 1-4
    CmdQuickLoadLast = 40109,
    // The desktop's own commands.
    CmdKeyboardNatural = 40200,
    CmdKeyboardPositional = 40201,
    CmdKeyboardHelp = 40202,
    CmdQuickScreenshot = 40203,
    CmdMessageLog = 40204,
    CmdRecentFirst = 40210, // 40210-40217: the recent files, newest first
    CmdRecentLast = 40217,
    CmdLanguageFirst = 40220, // 40220-40222: the system's language, English, Swedish
    CmdLanguageLast = 40222,
    CmdNewDisk = 40230,
    CmdWriteProtectFirst = 40231, // 40231-40232: DR0-DR1's write-protect switch
    CmdWriteProtectLast = 40232,
    CmdDetachFirst = 40233, // 40233-40234: detach DR0-DR1
    CmdDetachLast = 40234,
    CmdRewind = 40260,
    CmdDebugger = 40240,
};
