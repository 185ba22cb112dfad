// Loading, autostart, dropped files, the command-line file, saving,
// screenshots, the memory dump, disks, clipboard and sound recording, with
// the file dialogs answered by the test.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "desktop_fixture.h"
#include "host/qt/menu_table.h"
#include "host/session/media_commands.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "media/disk_card.h"
#include "media/orvane_disk.h"
#include "media/tape_deck.h"
#include "sound/mixer.h"

#include <sys/resource.h>

namespace {

using FileFlows = DesktopTest;

std::string statusText() { return CurrentStatusBar()->fieldText(StatusMessageField).toStdString(); }

// A minimal PCM WAV file: 8-bit mono, 44,100 Hz, a little silence.
std::string silentWav() {
    std::string data(4410, '\x80');
    auto u32 = [](uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    return "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) +
           u16(1) + u32(44100) + u32(44100) + u16(1) + u16(8) + "data" +
           u32(static_cast<uint32_t>(data.size())) + data;
}

TEST_F(FileFlows, AutostartRunsATypedProgramAndPlainLoadDoesNot) {
    startDesktop();
    std::string program = writeFile("hello.bas", "10 PRINT 4321\r");
    runFramesAndReadScreen(60);

    dialogAnswers = {QString::fromStdString(program)};
    EXPECT_EQ(window().OnCommand(CmdLoad), 0);
    EXPECT_EQ(statusText(), "Loaded " + program + ".");
    std::string screen = runFramesAndReadScreen(150);
    EXPECT_NE(screen.find("10 PRINT 4321"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("RUN"), std::string::npos) << screen;

    dialogAnswers = {QString::fromStdString(program)};
    window().OnCommand(CmdAutostart);
    screen = runFramesAndReadScreen(200);
    EXPECT_NE(screen.find("RUN"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n 4321"), std::string::npos) << "the program ran:\n" << screen;
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(requests[0].filters.first(), "All supported files (*.bac *.bas *.wav *.atp)");
}

TEST_F(FileFlows, WavFilesAreTapesForAutostartDropAndCommandLine) {
    startDesktop();
    std::string tape = writeFile("GAME.WAV", silentWav());

    dialogAnswers = {QString::fromStdString(tape)};
    window().OnCommand(CmdAutostart);
    EXPECT_NE(tapeDeck.file, nullptr) << "the recording is the cassette input";
    std::string screen = runFramesAndReadScreen(150);
    EXPECT_NE(screen.find("LOAD CAS:"), std::string::npos) << screen;

    EXPECT_EQ(window().DropFile(tape), 1);
    EXPECT_NE(tapeDeck.file, nullptr);
    screen = runFramesAndReadScreen(150);
    EXPECT_NE(screen.find("LOAD CAS:"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("RUN"), std::string::npos) << screen;

    EXPECT_EQ(StartWithFile(tape), 1);
    EXPECT_NE(tapeDeck.file, nullptr);
}

TEST_F(FileFlows, UnusableFilesAreReportedAndNothingIsTyped) {
    startDesktop();
    runFramesAndReadScreen(60);
    messages.clear(); // the video drivers this platform lacks
    std::string text = writeFile("notes.txt", "10 PRINT 1\r");
    EXPECT_EQ(StartWithFile(text), 0);
    EXPECT_FALSE(typingInProgress());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, "Error");
    EXPECT_TRUE(messages[0].second.startsWith("Cannot load ")) << messages[0].second.toStdString();

    EXPECT_EQ(window().DropFile(path("missing.bac")), 0);
    EXPECT_FALSE(typingInProgress());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].second.endsWith("missing.bac: no such file or folder."))
        << messages[1].second.toStdString();

    std::string program = writeFile("typed.bas", "10 PRINT 77\r");
    EXPECT_EQ(StartWithFile(program), 1);
    std::string screen = runFramesAndReadScreen(250);
    EXPECT_NE(screen.find("\n 77"), std::string::npos) << "typed, then RUN:\n" << screen;
}

TEST_F(FileFlows, SaveAsChoosesTheFormatByExtension) {
    startDesktop();
    // Nothing to save (an empty program area): said so, and no file appears.
    MainMemory[0x8000] = 0x01;
    MainMemory[0xFE1E] = 0x01;
    MainMemory[0xFE1F] = 0x80;
    dialogAnswers = {QString::fromStdString(path("EMPTY"))};
    messages.clear();
    window().OnCommand(CmdSaveAs);
    EXPECT_FALSE(std::filesystem::exists(path("EMPTY.bac")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].second.indexOf("no program in memory"), -1)
        << messages[0].second.toStdString();
    messages.clear();
    requests.clear();

    const uint8_t line[] = {0x07, 0x0A, 0x80, 'E', 'N', 'D', 0x0D, 0x01}; // 10 END
    std::memcpy(MainMemory + 0x8000, line, sizeof line);
    MainMemory[0xFE1E] = 0x08;
    MainMemory[0xFE1F] = 0x80;
    dialogAnswers = {QString::fromStdString(path("PROG"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_TRUE(std::filesystem::exists(path("PROG.bac")));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].filters,
              (QStringList{"BAC files (*.bac)", "BAS files (*.bas)", "WAV files (*.wav)"}));

    EXPECT_EQ(statusText(), "File saved: " + path("PROG.bac") + ".");

    // The same program as the text its LIST shows.
    dialogAnswers = {QString::fromStdString(path("PROG.bas"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_EQ(statusText(), "File saved: " + path("PROG.bas") + ".");
    QFile text(QString::fromStdString(path("PROG.bas")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll().toStdString(), "10 END\n");

    // A folder in the target's place is never replaced.
    messages.clear();
    std::filesystem::create_directory(path("BOX.bac"));
    dialogAnswers = {QString::fromStdString(path("BOX.bac"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_TRUE(std::filesystem::is_directory(path("BOX.bac")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second.toStdString(),
              "Cannot write " + path("BOX.bac") + ": is a folder.");

    messages.clear();
    dialogAnswers = {QString::fromStdString(path("PROG.txt"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_FALSE(std::filesystem::exists(path("PROG.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("PROG.txt.bac")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].second.indexOf("Nothing was written"), -1)
        << messages[0].second.toStdString();

    // A folder in place of the file: reported as failed, not as saved.
    std::filesystem::create_directories(path("folder.bac"));
    dialogAnswers = {QString::fromStdString(path("folder.bac"))};
    window().OnCommand(CmdSaveAs);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].second.startsWith("Cannot write")) << messages[1].second.toStdString();
    EXPECT_NE(statusText(), "File saved: " + path("folder.bac") + ".");
}

TEST_F(FileFlows, ScreenshotIsTheFramePictureAsBmp) {
    startDesktop();
    runFramesAndReadScreen(60);
    dialogAnswers = {QString::fromStdString(path("shot")),
                     QString::fromStdString(path("again.BMP"))};
    window().OnCommand(CmdScreenshot);
    window().OnCommand(CmdScreenshot);
    ASSERT_TRUE(std::filesystem::exists(path("shot.bmp")));
    EXPECT_EQ(std::filesystem::file_size(path("shot.bmp")), 58678u);
    EXPECT_TRUE(std::filesystem::exists(path("again.BMP")));
    EXPECT_FALSE(std::filesystem::exists(path("again.BMP.bmp")));

    QFile file(QString::fromStdString(path("shot.bmp")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.left(2), "BM");
    int32_t height;
    std::memcpy(&height, bytes.constData() + 22, 4);
    EXPECT_EQ(height, -240);
    // The pixels are the frame buffer's first 240 lines.
    EXPECT_EQ(std::memcmp(bytes.constData() + 1078, desktop.frameBuffer.data(), 240 * 240), 0);
    bool lit = false;
    for (int i = 0; i < 240 * 240; i++)
        lit |= desktop.frameBuffer[i] != 0;
    EXPECT_TRUE(lit) << "the boot banner is in the picture";

    // A file that cannot be created is reported.
    messages.clear();
    dialogAnswers = {QString::fromStdString(path("no/such/folder/shot.bmp"))};
    window().OnCommand(CmdScreenshot);
    EXPECT_NE(statusText().find("Cannot write"), std::string::npos);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].second.indexOf("no such file or folder"), -1)
        << messages[0].second.toStdString();

    // A .png name writes a PNG of the same picture, under that very name.
    dialogAnswers = {QString::fromStdString(path("shot.png"))};
    window().OnCommand(CmdScreenshot);
    EXPECT_FALSE(std::filesystem::exists(path("shot.png.bmp")));
    QImage png(QString::fromStdString(path("shot.png")), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(240, 240));
    EXPECT_EQ(qGray(png.pixel(0, 0)), desktop.frameBuffer[0]);
}

TEST_F(FileFlows, QuickScreenshotIsAFourToThreePngWithATimeStamp) {
    startDesktop();
    runFramesAndReadScreen(60);
    const QString folder = QString::fromStdString(path("Pictures/Orvane"));
    window().quickScreenshotFolder = folder;
    window().OnCommand(CmdQuickScreenshot);
    window().OnCommand(CmdQuickScreenshot); // the same second: a second name
    const QStringList shots = QDir(folder).entryList({"orvane-*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(shots.size(), 2) << shots.join(",").toStdString();
    EXPECT_TRUE(QRegularExpression("^orvane-\\d{8}-\\d{6}(-2)?\\.png$").match(shots[0]).hasMatch())
        << shots[0].toStdString();
    QImage image(folder + "/" + shots[0]);
    ASSERT_EQ(image.size(), QSize(960, 720));
    // Pixel (x, y) of the picture is the frame's (x / 4, y / 3).
    for (int y = 0; y < 720; y += 37)
        for (int x = 0; x < 960; x += 41)
            ASSERT_EQ(qGray(image.pixel(x, y)), desktop.frameBuffer[(y / 3) * 240 + x / 4])
                << x << "," << y;
    EXPECT_NE(statusText().find("Screenshot saved to " + folder.toStdString()), std::string::npos)
        << statusText();

    // A folder that cannot be made is reported.
    messages.clear();
    window().quickScreenshotFolder = "/proc/orvane-no-such-folder";
    EXPECT_EQ(window().quickScreenshot(window().quickScreenshotFolder), QString());
    EXPECT_EQ(messages.size(), 1u);
}

// The recording holds what happened between start and stop, also with "No
// sound", which mixes nothing while no recording is open: five seconds run
// before the start are not in it.
TEST_F(FileFlows, SoundRecordingRecordsWithTheNoSoundDriver) {
    startDesktop();
    window().OnCommand(CmdSoundFirst); // "No sound"
    ASSERT_EQ(SoundDriverSetting, 0u);
    runFramesAndReadScreen(250);
    dialogAnswers = {QString::fromStdString(path("sound"))};
    window().OnCommand(CmdSoundRecording);
    ASSERT_TRUE(window().isChecked(CmdSoundRecording));
    runFramesAndReadScreen(50);
    window().OnCommand(CmdSoundRecording);
    EXPECT_FALSE(window().isChecked(CmdSoundRecording));
    EXPECT_EQ(statusText(), "Sound recording finished: " + path("sound.wav") + ".")
        << "the recording's progress message goes when it stops";
    // 50 frames are 50 blocks of 960 samples.
    EXPECT_EQ(std::filesystem::file_size(path("sound.wav")), 44u + 50 * 1920);
}

TEST_F(FileFlows, MemoryDumpDisksAndClipboard) {
    startDesktop();
    window().OnCommand(CmdMemoryDump);
    EXPECT_TRUE(std::filesystem::exists(path("dump.txt")));
    EXPECT_EQ(std::filesystem::file_size(path("dump.bin")), 65536u);
    EXPECT_EQ(statusText().rfind("Memory dump to ", 0), 0u) << statusText();

    std::string image = path("missing.dsk");
    dialogAnswers = {QString::fromStdString(image)};
    window().OnCommand(40047);
    ASSERT_EQ(messages.size() - std::count_if(messages.begin(), messages.end(),
                                              [](auto& m) { return m.first == "Error"; }),
              1u);
    EXPECT_EQ(messages.back().first, "Error attaching disk image!");
    EXPECT_EQ(messages.back().second.toStdString(),
              "Drive DR0 - " + image + ": no such file or folder.");
    EXPECT_EQ(window().action(40047)->text(), "Drive DR&0 - ...");

    // Copy text follows screen order: row 1 is the second line.
    uint8_t* screen = MainMemory + 0x7C00;
    std::memcpy(screen + 128, "SECOND ROW", 10); // row 1 of the 40-column layout
    std::memcpy(screen + 40, "NINTH ROW", 9);    // row 8
    window().OnCommand(CmdCopyText);
    QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_GE(lines.size(), 24);
    EXPECT_TRUE(lines[1].startsWith("SECOND ROW")) << lines[1].toStdString();
    EXPECT_TRUE(lines[8].startsWith("NINTH ROW")) << lines[8].toStdString();

    QGuiApplication::clipboard()->setText("10 PRINT 5\n");
    window().OnCommand(CmdPaste);
    EXPECT_TRUE(typingInProgress());
}

TEST_F(FileFlows, SoundRecordingToggles) {
    startDesktop();
    dialogAnswers = {QString::fromStdString(path("sound"))};
    window().action(CmdSoundRecording)->trigger();
    EXPECT_TRUE(window().isChecked(CmdSoundRecording));
    EXPECT_TRUE(std::filesystem::exists(path("sound.wav")));
    for (int i = 0; i < 10; i++)
        RunOneFrame();
    window().action(CmdSoundRecording)->trigger();
    EXPECT_FALSE(window().isChecked(CmdSoundRecording));
    EXPECT_GT(std::filesystem::file_size(path("sound.wav")), 44u);
    EXPECT_EQ(requests.size(), 1u) << "stopping asks for nothing";

    dialogAnswers = {QString::fromStdString(path("no/such/folder/sound.wav"))};
    window().action(CmdSoundRecording)->trigger();
    EXPECT_FALSE(window().isChecked(CmdSoundRecording));
}

TEST_F(FileFlows, StatusFieldsAndTooltips) {
    startDesktop();
    SetStatusField(2, "%04u %c", 12u, 0x95);
    EXPECT_EQ(window().status()->fieldText(2), QString("0012 ") + QChar(0x2022));
    SetStatusField(1, "%s", "never");
    EXPECT_EQ(window().status()->fieldText(1), "");
    std::string longText(300, 'x');
    ShowStatus("Loaded %s.", longText.c_str());
    EXPECT_EQ(window().status()->fieldToolTip(3).toStdString(), "Loaded " + longText + ".");
    EXPECT_EQ(window().status()->fieldLabel(0)->width(), 80);
}

} // namespace

namespace {

// Dropped disk images fill the drives in order; one of no known size is
// refused in a box and leaves the drives as they were.
TEST_F(FileFlows, DroppedDiskImagesGoIntoTheFirstEmptyDrive) {
    startDesktop();
    messages.clear();
    const std::string first = writeFile("one.dsk", std::string(163840, '\xE5'));
    const std::string second = writeFile("two.IMG", std::string(163840, '\xE5'));
    EXPECT_EQ(window().DropFile(first), 1);
    EXPECT_EQ(window().DropFile(second), 1);
    EXPECT_EQ(DriveImages[0].path, first);
    EXPECT_EQ(DriveImages[1].path, second);
    EXPECT_EQ(window().action(CmdAttachFirst + 1)->text().toStdString(), "Drive DR1 - " + second);
    const std::string third = writeFile("three.dsk", std::string(163840, '\xE5'));
    EXPECT_EQ(window().DropFile(third), 1);
    RunOneFrame();
    EXPECT_EQ(CurrentStatusBar()->drivesText(), "DR0: one.dsk  DR1: two.IMG  DR2: three.dsk")
        << "DR2 is shown while it holds an image";
    EXPECT_TRUE(window().recentFiles().contains(QString::fromStdString(third)));
    EXPECT_TRUE(messages.empty());

    const std::string odd = writeFile("odd.dsk", std::string(1000, '\0'));
    EXPECT_EQ(window().DropFile(odd), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, "Error attaching disk image!");
    EXPECT_EQ(messages[0].second.toStdString(),
              "Drive DR3 - " + odd + ": size of 1000 bytes is no disk format.");
    EXPECT_TRUE(DriveImages[3].path.empty());
    window().OnCommand(CmdDetachDisks);
}

// Tapes inserted and disk images attached join the recent files as programs
// do; choosing one does what its kind needs: a tape goes into the deck and is
// loaded as a dropped one is, a disk image into the first empty drive. A
// refused tape does not join the list.
TEST_F(FileFlows, RecentFilesHoldTapesAndDisksAndOpenEachAsItsKind) {
    startDesktop();
    runFramesAndReadScreen(5);
    messages.clear();
    const std::string tape = writeFile("song.wav", silentWav());
    dialogAnswers = {QString::fromStdString(tape)};
    window().OnCommand(CmdTapeInsert);
    ASSERT_FALSE(window().recentFiles().isEmpty());
    EXPECT_EQ(window().recentFiles()[0].toStdString(), tape);
    window().OnCommand(CmdTapeEject);

    const std::string disk = writeFile("work.dsk", std::string(163840, '\xE5'));
    dialogAnswers = {QString::fromStdString(disk)};
    window().OnCommand(CmdAttachFirst);
    ASSERT_EQ(DriveImages[0].path, disk);
    EXPECT_EQ(window().recentFiles()[0].toStdString(), disk);
    window().OnCommand(CmdDetachDisks);

    const std::string broken = writeFile("broken.wav", "RIFF");
    dialogAnswers = {QString::fromStdString(broken)};
    window().OnCommand(CmdTapeInsert);
    EXPECT_FALSE(window().recentFiles().contains(QString::fromStdString(broken)));
    messages.clear();

    // The disk (newest) into DR1 while DR0 holds another image.
    const std::string other = writeFile("other.dsk", std::string(163840, '\xE5'));
    ASSERT_TRUE(AttachSessionDisk(0, other).ok());
    window().OnCommand(CmdRecentFirst);
    EXPECT_EQ(DriveImages[1].path, disk);
    EXPECT_EQ(DriveImages[0].path, other);

    // The tape, second in the list: into the deck, LOAD CAS: typed.
    ASSERT_EQ(window().recentFiles()[1].toStdString(), tape);
    window().OnCommand(CmdRecentFirst + 1);
    EXPECT_TRUE(TapeInserted());
    EXPECT_EQ(tapeDeck.path, tape);
    const std::string screen = runFramesAndReadScreen(150);
    EXPECT_NE(screen.find("LOAD CAS:"), std::string::npos) << screen;
    EXPECT_TRUE(messages.empty());
    window().OnCommand(CmdTapeEject);
    window().OnCommand(CmdDetachDisks);
}

// Characters printed while printer.txt cannot be written are lost: the user
// hears of it once, in a message box, and not again for every character.
TEST_F(FileFlows, LostPrinterOutputIsReportedOnceInABox) {
    startDesktop();
    runFramesAndReadScreen(5);
    messages.clear();
    setPrinterDirectory(path("gone"));
    printerOut('A');
    runFramesAndReadScreen(1);
    printerOut('B');
    runFramesAndReadScreen(3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, "Error");
    EXPECT_EQ(messages[0].second.toStdString(), "Printer output lost: cannot write " +
                                                    path("gone") +
                                                    "/printer.txt: no such file or folder.");
    EXPECT_EQ(statusText(), messages[0].second.toStdString());
    closePrinter();
    setPrinterDirectory("");
}

} // namespace

namespace {

std::string readWholeFile(const std::string& name) {
    QFile file(QString::fromStdString(name));
    if (!file.open(QIODevice::ReadOnly)) return "";
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// One sector of `fill` written through the disk card's ports to DR0's sector
// `sector` (below 256); the error code the card gives afterwards.
uint8_t writeSectorThroughPorts(uint8_t sector, uint8_t fill) {
    ioWrite(0x01, 45);
    for (uint8_t b : {uint8_t{0x0C}, uint8_t{0}, static_cast<uint8_t>(sector / 8),
                      static_cast<uint8_t>((sector % 8) << 5)})
        ioWrite(0x00, b);
    for (int i = 0; i < 256; i++)
        ioWrite(0x00, fill);
    return ioRead(0x00);
}

// New disk image, the write-protect switch, detaching one drive, the drives in
// the status bar, and a write the host refuses (a file size limit set on the
// test itself for one sector) shown in a box naming the image and the cause.
TEST_F(FileFlows, DiskDrivesFromTheMenu) {
    startDesktop();
    messages.clear();
    dialogAnswers = {QString::fromStdString(path("fresh"))};
    window().OnCommand(CmdNewDisk);
    const std::string fresh = path("fresh.dsk");
    ASSERT_EQ(DriveImages[0].path, fresh);
    const std::string formatted = readWholeFile(fresh);
    EXPECT_EQ(formatted.size(), 163840u);
    EXPECT_TRUE(formatted.rfind(std::string(OrvaneDiskSignature, 8), 0) == 0)
        << "formatted for the open DOS";
    EXPECT_TRUE(window().recentFiles().contains(QString::fromStdString(fresh)));
    RunOneFrame();
    EXPECT_EQ(CurrentStatusBar()->drivesText(), "DR0: fresh.dsk  DR1: -");

    window().OnCommand(CmdWriteProtectFirst);
    EXPECT_TRUE(window().isChecked(CmdWriteProtectFirst));
    EXPECT_FALSE(window().isChecked(CmdWriteProtectFirst + 1));
    EXPECT_EQ(writeSectorThroughPorts(3, 0x11), 64);
    RunOneFrame();
    EXPECT_TRUE(CurrentStatusBar()->drivesText().startsWith("DR0: fresh.dsk (WP)"))
        << CurrentStatusBar()->drivesText().toStdString();
    EXPECT_TRUE(readWholeFile(fresh) == formatted);
    window().OnCommand(CmdWriteProtectFirst);
    EXPECT_FALSE(window().isChecked(CmdWriteProtectFirst));
    EXPECT_EQ(writeSectorThroughPorts(3, 0x11), 0);
    RunOneFrame();
    EXPECT_TRUE(CurrentStatusBar()->drivesText().contains(QChar(0x25CF))) << "activity light";
    EXPECT_TRUE(messages.empty());

    {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit old;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        struct rlimit limit = {8192, old.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const uint8_t error = writeSectorThroughPorts(200, 0x22);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_DFL);
        EXPECT_EQ(error, 64);
    }
    RunOneFrame();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, "Disk write failed!");
    EXPECT_EQ(messages[0].second.toStdString(),
              "Disk write failed on DR0 (" + fresh + "): file too large.");
    RunOneFrame();
    EXPECT_EQ(messages.size(), 1u) << "shown once";
    std::string expected = formatted;
    std::fill(expected.begin() + 3 * 256, expected.begin() + 4 * 256, '\x11');
    EXPECT_TRUE(readWholeFile(fresh) == expected) << "the sector written before is kept";

    // Detaching DR1 (empty) leaves DR0; detaching DR0 empties it.
    window().OnCommand(CmdDetachFirst + 1);
    EXPECT_EQ(DriveImages[0].path, fresh);
    window().OnCommand(CmdDetachFirst);
    EXPECT_TRUE(DriveImages[0].path.empty());
    EXPECT_EQ(CurrentStatusBar()->drivesText(), "DR0: -  DR1: -");
    EXPECT_EQ(window().action(CmdAttachFirst)->text(), "Drive DR&0 - ...");

    // A new image where none can be written is refused in a box.
    dialogAnswers = {QString::fromStdString(path("no/such/folder/x.dsk"))};
    window().OnCommand(CmdNewDisk);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].first, "Error creating disk image!");
    EXPECT_TRUE(DriveImages[0].path.empty());
}

} // namespace
