// Loading, autostart, dropped files, the command-line file, saving,
// screenshots, the memory dump, disks, clipboard and sound recording, with
// the file dialogs answered by the test.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "desktop_fixture.h"
#include "host/qt/menu_table.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/tape_deck.h"

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
    std::string text = writeFile("notes.txt", "10 PRINT 1\r");
    EXPECT_EQ(StartWithFile(text), 0);
    EXPECT_FALSE(typingInProgress());
    EXPECT_NE(statusText().find("Cannot load"), std::string::npos) << statusText();

    EXPECT_EQ(window().DropFile(path("missing.bac")), 0);
    EXPECT_FALSE(typingInProgress());
    EXPECT_NE(statusText().find("Cannot open"), std::string::npos) << statusText();

    std::string program = writeFile("typed.bas", "10 PRINT 77\r");
    EXPECT_EQ(StartWithFile(program), 1);
    std::string screen = runFramesAndReadScreen(250);
    EXPECT_NE(screen.find("\n 77"), std::string::npos) << "typed, then RUN:\n" << screen;
}

TEST_F(FileFlows, SaveAsChoosesTheFormatByExtension) {
    startDesktop();
    dialogAnswers = {QString::fromStdString(path("PROG"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_TRUE(std::filesystem::exists(path("PROG.bac")));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].filters, (QStringList{"BAC files (*.bac)", "WAV files (*.wav)"}));

    dialogAnswers = {QString::fromStdString(path("PROG.txt"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_FALSE(std::filesystem::exists(path("PROG.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("PROG.txt.bac")));
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
    dialogAnswers = {QString::fromStdString(path("no/such/folder/shot.bmp"))};
    window().OnCommand(CmdScreenshot);
    EXPECT_NE(statusText().find("Cannot write"), std::string::npos);
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
    EXPECT_EQ(messages.back().second.toStdString(), "Drive DR0 - " + image);
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
