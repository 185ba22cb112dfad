// The debugger window in the desktop program: it takes the stops while it
// is shown and holds the machine without holding the program, its steps
// move the machine as the debug layer says, its edits reach the machine
// only where and when they may, and its failures are told in its status
// line.
#include "tests/host/desktop_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTranslator>
#include <QWheelEvent>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "host/qt/debugger_views.h"
#include "host/qt/debugger_window.h"
#include "host/qt/language.h"
#include "host/qt/menu_table.h"
#include "host/qt/translations/swedish_qm.h"
#include "host/session/typing.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"

namespace {

// A routine in RAM: CALL 0A010h, then a loop; the called routine loads A
// with 5, stores it at 0A100h (0 before) and returns.
constexpr uint16_t Program = 0xA000, Routine = 0xA010, Stored = 0xA100;
void writeProgram() {
    const uint8_t main[] = {0xCD, 0x10, 0xA0, 0x00, 0x18, 0xFA};    // call; nop; jr A000
    const uint8_t routine[] = {0x3E, 0x05, 0x32, 0x00, 0xA1, 0xC9}; // ld a,5; ld (A100),a; ret
    for (size_t i = 0; i < sizeof main; i++)
        memWrite(static_cast<uint16_t>(Program + i), main[i]);
    for (size_t i = 0; i < sizeof routine; i++)
        memWrite(static_cast<uint16_t>(Routine + i), routine[i]);
    memWrite(Stored, 0); // the machine's memory outlives a test
}

class DebuggerWindowTest : public DesktopTest {
  protected:
    void SetUp() override {
        DesktopTest::SetUp();
        debugPowerOn();
    }
    void TearDown() override {
        monitorEnd();
        debugPowerOn();
        debugClearSymbols();
        forgetPendingFrame();
        DesktopTest::TearDown();
    }
    // The desktop with the debugger opened from its menu item.
    DebuggerWindow* open() {
        startDesktop();
        runFramesAndReadScreen(60);
        window().action(CmdDebugger)->trigger();
        return desktop.debugger;
    }
    // Stops the machine and puts PC on the routine's caller.
    void holdAtProgram(DebuggerWindow* debugger) {
        debugger->stop();
        writeProgram();
        QLineEdit* pc = debugger->registers()->field("PC");
        pc->setText("A000");
        emit pc->editingFinished();
        ASSERT_EQ(cpu.IP, Program);
    }
};

TEST_F(DebuggerWindowTest, OpensFromTheMenuWithRegistersDisassemblyAndFirmwareLabels) {
    DebuggerWindow* debugger = open();
    ASSERT_NE(debugger, nullptr);
    EXPECT_EQ(debugger->windowTitle(), "Orvane Debugger");
    EXPECT_TRUE(debugger->isVisible());
    EXPECT_FALSE(debugger->isModal());
    EXPECT_GT(debugSymbolCount(), 100u) << "the open firmware's labels";
    // Opening does not stop the machine.
    EXPECT_FALSE(debugger->holdsMachine());
    const uint32_t frames = frameCounter;
    RunOneFrame();
    EXPECT_EQ(frameCounter, frames + 1);

    debugger->stop();
    EXPECT_TRUE(debugger->holdsMachine());
    EXPECT_TRUE(DebuggerHoldsFrames());
    EXPECT_EQ(debugger->registers()->field("PC")->text(),
              QString("%1").arg(cpu.IP, 4, 16, QChar('0')).toUpper());
    EXPECT_FALSE(debugger->registers()->field("HL")->isReadOnly());
    const int row = debugger->disassembly()->rowOf(cpu.IP);
    ASSERT_GE(row, 0) << "PC is among the shown lines";
    EXPECT_TRUE(
        debugger->disassembly()->item(row, DisassemblyView::MarginColumn)->text().contains('>'));
    EXPECT_FALSE(
        debugger->disassembly()->item(row, DisassemblyView::InstructionColumn)->text().isEmpty());
    EXPECT_TRUE(debugger->registers()->countersText().contains(QString::number(frameCounter)));
    EXPECT_TRUE(debugger->screenText()->toPlainText().contains("ORVANE BASIC"));
    EXPECT_TRUE(debugger->statusText().startsWith("Stopped at "))
        << debugger->statusText().toStdString();

    // Going to a firmware label by name shows its line with the label.
    ASSERT_TRUE(debugger->goTo("curline") || debugger->goTo("start"));
    const int labelled = debugger->disassembly()->rowOf(debugger->disassembly()->firstAddress());
    EXPECT_FALSE(
        debugger->disassembly()->item(labelled, DisassemblyView::LabelColumn)->text().isEmpty());
    EXPECT_FALSE(debugger->goTo("no_such_label"));
    EXPECT_TRUE(debugger->statusText().contains("Not an address or symbol: no_such_label"));
}

TEST_F(DebuggerWindowTest, AClickInTheMarginSetsABreakpointThatStopsTheFrameForTheWindow) {
    DebuggerWindow* debugger = open();
    debugger->goTo("0066"); // the NMI entry, run once a frame
    DisassemblyView* code = debugger->disassembly();
    ASSERT_EQ(code->rowAddress(0), 0x0066);
    code->resize(600, 800);
    const QRect cell = code->visualItemRect(code->item(0, DisassemblyView::MarginColumn));
    QTest::mouseClick(code->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(debugBreakpoints().size(), 1u);
    EXPECT_EQ(debugBreakpoints()[0].from, 0x0066);
    EXPECT_TRUE(code->item(0, DisassemblyView::MarginColumn)->text().contains('*'));

    const uint32_t frames = frameCounter;
    RunOneFrame();
    ASSERT_TRUE(debugStopped());
    EXPECT_EQ(cpu.IP, 0x0066);
    EXPECT_FALSE(monitorOpen) << "the stop went to the debugger, not the monitor";
    EXPECT_TRUE(DebuggerHoldsFrames());
    EXPECT_TRUE(debugger->statusText().startsWith("Breakpoint at 0066."))
        << debugger->statusText().toStdString();
    EXPECT_EQ(code->cursorAddress(), 0x0066);

    // While held the main window's commands work and no frame runs.
    QGuiApplication::clipboard()->clear();
    window().action(CmdCopyText)->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("ORVANE BASIC"));
    EXPECT_EQ(frameCounter, frames);

    // Run: the instruction on the breakpoint runs, the frame is finished,
    // and the next frame stops there again.
    debugger->run();
    EXPECT_FALSE(DebuggerHoldsFrames());
    RunOneFrame();
    EXPECT_EQ(frameCounter, frames + 1);
    EXPECT_FALSE(debugStopped());
    RunOneFrame();
    EXPECT_TRUE(debugStopped());
    EXPECT_EQ(cpu.IP, 0x0066);

    // A second click removes it; the machine runs freely.
    QTest::mouseClick(code->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(debugBreakpoints().empty());
    debugger->run();
    RunOneFrame();
    RunOneFrame();
    EXPECT_FALSE(debugStopped());
}

TEST_F(DebuggerWindowTest, StepsIntoOverAndOutOfACall) {
    DebuggerWindow* debugger = open();
    holdAtProgram(debugger);
    debugger->button(DebuggerWindow::ActionStepOver)->click();
    EXPECT_EQ(cpu.IP, Program + 3) << "the call ran whole";
    EXPECT_EQ(cpu.AF >> 8, 5);
    EXPECT_EQ(memRead(Stored), 5);
    EXPECT_TRUE(debugger->holdsMachine());

    // Back to the call: into it, one more step, then out of it.
    QLineEdit* pc = debugger->registers()->field("PC");
    pc->setText("A000");
    emit pc->editingFinished();
    memWrite(Stored, 0);
    debugger->button(DebuggerWindow::ActionStepInto)->click();
    EXPECT_EQ(cpu.IP, Routine);
    debugger->stepInto();
    EXPECT_EQ(cpu.IP, Routine + 2);
    debugger->button(DebuggerWindow::ActionStepOut)->click();
    EXPECT_EQ(cpu.IP, Program + 3) << "back after the call";
    EXPECT_EQ(memRead(Stored), 5);

    // Run to cursor: the line chosen in the disassembly.
    debugger->goTo("A010");
    debugger->disassembly()->setCursorAddress(Routine + 2);
    debugger->button(DebuggerWindow::ActionRunToCursor)->click();
    EXPECT_EQ(cpu.IP, Routine + 2);
    EXPECT_TRUE(debugger->statusText().startsWith("Step at A012"));
}

// Back in time from the window: who wrote a byte, a step back, and a jump
// the history cannot make, which changes nothing.
TEST_F(DebuggerWindowTest, GoesBackToTheWriterOfAByteAndStepsBack) {
    DebuggerWindow* debugger = open();
    holdAtProgram(debugger); // the edit of PC starts the history here
    debugger->stepOver();
    ASSERT_EQ(cpu.IP, Program + 3);
    ASSERT_EQ(memRead(Stored), 5);

    // The byte's writer: the machine goes back to before the store ran.
    debugger->memoryTable()->setCurrentIndex(debugger->memory()->index(
        Stored / MemoryModel::BytesPerRow, Stored % MemoryModel::BytesPerRow));
    ASSERT_TRUE(debugger->whoWrote(Stored)) << debugger->statusText().toStdString();
    EXPECT_EQ(cpu.IP, Routine + 2);
    EXPECT_EQ(memRead(Stored), 0) << "the byte as it was before the write";
    EXPECT_TRUE(debugger->holdsMachine());
    EXPECT_TRUE(debugger->statusText().startsWith("Stopped at A012"))
        << debugger->statusText().toStdString();

    // One instruction back: before ld a,5, with A as it was then.
    debugger->button(DebuggerWindow::ActionStepBack)->click();
    EXPECT_EQ(cpu.IP, Routine);
    EXPECT_EQ(debugger->registers()->field("PC")->text(), "A010");
    // Forward again runs the same way.
    debugger->stepInto();
    debugger->stepInto();
    EXPECT_EQ(memRead(Stored), 5);

    // An edit starts the history again: nothing is recorded before it.
    QLineEdit* hl = debugger->registers()->field("HL");
    hl->setText("0001");
    emit hl->editingFinished();
    const uint16_t ip = cpu.IP;
    debugger->button(DebuggerWindow::ActionBackFrame)->click();
    EXPECT_EQ(cpu.IP, ip);
    EXPECT_FALSE(
        debugger->statusText().endsWith(QString("%1.").arg(ip, 4, 16, QChar('0')).toUpper()))
        << "the reason is said: " << debugger->statusText().toStdString();
    EXPECT_EQ(cpu.HL, 0x0001);
}

TEST_F(DebuggerWindowTest, RunToNextFrameHoldsAtTheFrameBoundary) {
    DebuggerWindow* debugger = open();
    debugger->stop();
    const uint32_t frames = frameCounter;
    debugger->button(DebuggerWindow::ActionRunToNextFrame)->click();
    EXPECT_EQ(frameCounter, frames + 1);
    EXPECT_FALSE(framePending());
    EXPECT_TRUE(DebuggerHoldsFrames());
    debugger->runToNextFrame();
    EXPECT_EQ(frameCounter, frames + 2);
    // Closing the window lets the machine go on; the next stop goes to the
    // monitor again.
    debugger->close();
    EXPECT_FALSE(DebuggerHoldsFrames());
    RunOneFrame();
    EXPECT_EQ(frameCounter, frames + 3);
    debugToggleBreakpoint(0x0066);
    RunOneFrame();
    EXPECT_TRUE(monitorOpen);
}

TEST_F(DebuggerWindowTest, EditsReachRamWhileStoppedButNeverRomOrARunningMachine) {
    DebuggerWindow* debugger = open();
    MemoryModel* memory = debugger->memory();
    auto cell = [memory](uint16_t address) {
        return memory->index(address / MemoryModel::BytesPerRow,
                             address % MemoryModel::BytesPerRow);
    };
    // Running: nothing is editable.
    EXPECT_FALSE(memory->flags(cell(0xA000)) & Qt::ItemIsEditable);
    EXPECT_FALSE(memory->setData(cell(0xA000), "42", Qt::EditRole));
    EXPECT_TRUE(debugger->registers()->field("HL")->isReadOnly());

    debugger->stop();
    EXPECT_TRUE(memory->flags(cell(0xA000)) & Qt::ItemIsEditable);
    EXPECT_TRUE(memory->setData(cell(0xA000), "42", Qt::EditRole));
    EXPECT_EQ(memRead(0xA000), 0x42);
    EXPECT_FALSE(memory->setData(cell(0xA001), "1G", Qt::EditRole)) << "not hex";
    // The characters column writes text from the row's first byte.
    const QModelIndex characters = memory->index(0xA010 / 16, MemoryModel::CharacterColumn);
    EXPECT_TRUE(memory->setData(characters, "HI", Qt::EditRole));
    EXPECT_EQ(memRead(0xA010), 'H');
    EXPECT_EQ(memRead(0xA011), 'I');
    EXPECT_EQ(memory->data(characters, Qt::DisplayRole).toString().left(2), "HI");

    // ROM: shown grey, not editable, unchanged by a write.
    const uint8_t rom = memRead(0x0010);
    EXPECT_FALSE(memory->flags(cell(0x0010)) & Qt::ItemIsEditable);
    EXPECT_FALSE(memory->setData(cell(0x0010), QString::number(rom ^ 0xFF, 16), Qt::EditRole));
    EXPECT_EQ(memRead(0x0010), rom);
    EXPECT_EQ(memory->data(cell(0x0010), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(Qt::gray));
    EXPECT_FALSE(memory->data(cell(0xA000), Qt::ForegroundRole).isValid());

    // Registers and flags.
    QLineEdit* hl = debugger->registers()->field("HL");
    hl->setText("1234");
    emit hl->editingFinished();
    EXPECT_EQ(cpu.HL, 0x1234);
    const bool carry = cpu.AF & FlagC;
    debugger->registers()->flag(0)->click();
    EXPECT_EQ((cpu.AF & FlagC) != 0, !carry);

    // Running again: edits are refused.
    debugger->run();
    hl->setText("4321");
    emit hl->editingFinished();
    EXPECT_EQ(cpu.HL, 0x1234);
    EXPECT_FALSE(memory->setData(cell(0xA000), "43", Qt::EditRole));
    EXPECT_EQ(memRead(0xA000), 0x42);
}

TEST_F(DebuggerWindowTest, WatchesWithConditionsAndHitCountsFromTheForm) {
    DebuggerWindow* debugger = open();
    holdAtProgram(debugger);
    // Fields the form cannot take are said, and nothing is added.
    EXPECT_FALSE(debugger->addBreakpoint("A100", "", WatchWrite, "Q=1", 1));
    EXPECT_TRUE(debugger->statusText().contains("Not a condition: Q=1"));
    EXPECT_FALSE(debugger->addBreakpoint("zz9", "", WatchWrite, "", 1));
    EXPECT_FALSE(debugger->addBreakpoint("A100", "", 0, "", 1));
    EXPECT_TRUE(debugBreakpoints().empty());

    // A write watch over a range that holds only when A=5, on its 2nd hit.
    ASSERT_TRUE(debugger->addBreakpoint("A0FF", "A101", WatchWrite, "A=5", 2));
    ASSERT_EQ(debugger->breakpointTable()->rowCount(), 1);
    EXPECT_EQ(debugger->breakpointTable()->item(0, 0)->text(), "W");
    EXPECT_EQ(debugger->breakpointTable()->item(0, 3)->text(), "A=05");
    debugger->run();
    for (int i = 0; i < 10 && !debugStopped(); i++)
        RunOneFrame();
    ASSERT_TRUE(debugStopped());
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Watchpoint);
    EXPECT_EQ(debugLastStop().address, Stored);
    EXPECT_EQ(debugBreakpoints()[0].hits, 2u);
    EXPECT_TRUE(debugger->statusText().startsWith("Write watch on A100 at A015"))
        << debugger->statusText().toStdString();
    EXPECT_EQ(debugger->breakpointTable()->item(0, 5)->text(), "2");

    debugger->breakpointTable()->setCurrentCell(0, 0);
    debugger->removeSelectedBreakpoint();
    EXPECT_TRUE(debugBreakpoints().empty());
    EXPECT_EQ(debugger->breakpointTable()->rowCount(), 0);
}

TEST_F(DebuggerWindowTest, BasicLineBreakpointStopsWhenTheLineStarts) {
    DebuggerWindow* debugger = open();
    ASSERT_TRUE(debugger->breakOnBasicLine(20));
    TypeAfterCurrent("10 A=1\r20 A=2\r30 GOTO 10\rRUN\r");
    for (int i = 0; i < 400 && !debugStopped(); i++)
        RunOneFrame();
    ASSERT_TRUE(debugStopped());
    EXPECT_EQ(debugBasicLine(), 20);
    EXPECT_TRUE(debugger->statusText().contains("BASIC line 20"))
        << debugger->statusText().toStdString();
}

TEST_F(DebuggerWindowTest, TraceIsSearchableAndItsWriteFailuresAreSaid) {
    DebuggerWindow* debugger = open();
    holdAtProgram(debugger);
    debugger->setTracing(true);
    for (int i = 0; i < 4; i++)
        debugger->stepInto();
    EXPECT_EQ(debugTraceCount(), 4u);
    EXPECT_EQ(debugger->findInTrace("ld a,05h"), 1);
    EXPECT_TRUE(debugger->statusText().contains("1 found."));
    EXPECT_EQ(debugger->findInTrace("no such text"), -1);

    const QString path = QString::fromStdString(this->path("trace.txt"));
    ASSERT_TRUE(debugger->writeTrace(path));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromLatin1(written.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(" A000 CD 10 A0")) << lines[0].toStdString();

    // A full device: the failure and its cause in the status line.
    EXPECT_FALSE(debugger->writeTrace("/dev/full"));
    EXPECT_TRUE(debugger->statusText().contains("Cannot write /dev/full: "))
        << debugger->statusText().toStdString();
    debugger->setTracing(false);
}

TEST_F(DebuggerWindowTest, SymbolFilesNameLinesAndTheirFailuresAreSaid) {
    DebuggerWindow* debugger = open();
    const std::string symbols = writeFile("game.sym", "; my game\n"
                                                      "MAIN EQU 0A000h\n"
                                                      "HELPER: $A010\n"
                                                      "this is not a symbol\n");
    ASSERT_TRUE(debugger->loadSymbols(QString::fromStdString(symbols)));
    EXPECT_TRUE(debugger->statusText().contains("2 symbols read, 1 lines skipped"))
        << debugger->statusText().toStdString();
    debugger->stop();
    writeProgram();
    ASSERT_TRUE(debugger->goTo("MAIN"));
    DisassemblyView* code = debugger->disassembly();
    EXPECT_EQ(code->item(0, DisassemblyView::LabelColumn)->text(), "MAIN");
    EXPECT_TRUE(code->item(0, DisassemblyView::InstructionColumn)->text().endsWith("; HELPER"));
    // A double click follows the call.
    const QRect cell = code->visualItemRect(code->item(0, DisassemblyView::InstructionColumn));
    QTest::mouseClick(code->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(code->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(code->firstAddress(), Routine);

    // The wheel moves by whole instructions, both ways.
    for (uint16_t a = 0x9FF0; a < Program; a++)
        memWrite(a, 0x00);
    debugger->goTo("MAIN");
    auto wheel = [code](int notches) {
        QWheelEvent event(QPointF(10, 10), code->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(code->viewport(), &event);
    };
    wheel(-1);
    EXPECT_EQ(code->firstAddress(), Program + 6) << "call, nop and jr passed";
    wheel(1);
    EXPECT_EQ(code->firstAddress(), Program);
    wheel(1);
    EXPECT_EQ(code->firstAddress(), Program - 3);

    EXPECT_FALSE(debugger->loadSymbols(QString::fromStdString(path("missing.sym"))));
    EXPECT_TRUE(debugger->statusText().contains("Cannot load "))
        << debugger->statusText().toStdString();
}

// --debugger FILE: the window is open from the start with FILE's symbols
// beside the firmware's; a file that cannot be read is said there.
TEST_F(DebuggerWindowTest, OpensAtTheStartWithTheSymbolFileOfTheCommandLine) {
    for (const bool readable : {true, false}) {
        SCOPED_TRACE(readable);
        DesktopOptions options;
        options.clock = &fake.clock;
        options.showWindow = false;
        options.messageBox = [](const QString&, const QString&) {};
        options.debugger = true;
        options.symbolFile =
            readable ? writeFile("start.sym", "MAIN EQU 0A000h\n") : path("missing.sym");
        ASSERT_EQ(StartDesktop(options), 1);
        ASSERT_NE(desktop.debugger, nullptr);
        EXPECT_TRUE(desktop.debugger->isVisible());
        uint16_t address = 0;
        EXPECT_EQ(debugSymbolAddress("MAIN", address), readable);
        EXPECT_TRUE(debugSymbolAddress("nmi", address)) << "the firmware's labels too";
        EXPECT_EQ(desktop.debugger->statusText().contains("Cannot load "), !readable)
            << desktop.debugger->statusText().toStdString();
        ShutdownDesktop();
        EXPECT_EQ(desktop.debugger, nullptr);
        debugClearSymbols();
    }
}

TEST(DebuggerCommandLine, TheArgumentAfterTheOptionIsASymbolFileOnlyWhenItIsNoProgram) {
    EXPECT_TRUE(DebuggerSymbolArgument("game.sym"));
    EXPECT_TRUE(DebuggerSymbolArgument("labels"));
    EXPECT_FALSE(DebuggerSymbolArgument("GAME.BAC"));
    EXPECT_FALSE(DebuggerSymbolArgument("tape.wav"));
    EXPECT_FALSE(DebuggerSymbolArgument("--terminal-monitor"));
    EXPECT_FALSE(DebuggerSymbolArgument(""));
}

// Every text the window shows in English has a Swedish translation (names
// of registers and flags excepted).
TEST_F(DebuggerWindowTest, EveryTextHasASwedishTranslation) {
    DebuggerWindow* debugger = open();
    debugger->stop();
    QTranslator swedish;
    ASSERT_TRUE(swedish.load(OrvaneSwedishQm, static_cast<int>(OrvaneSwedishQmSize)));
    QStringList texts = {debugger->windowTitle()};
    for (QPushButton* w : debugger->findChildren<QPushButton*>())
        texts << w->text();
    for (QCheckBox* w : debugger->findChildren<QCheckBox*>())
        texts << w->text();
    for (QLineEdit* w : debugger->findChildren<QLineEdit*>())
        texts << w->placeholderText();
    for (QLabel* w : debugger->findChildren<QLabel*>())
        texts << w->text();
    for (int i = 0; i < debugger->tabs()->count(); i++)
        texts << debugger->tabs()->tabText(i);
    for (QTableWidget* table : debugger->findChildren<QTableWidget*>())
        for (int i = 0; i < table->columnCount(); i++)
            if (table->horizontalHeaderItem(i)) texts << table->horizontalHeaderItem(i)->text();
    QStringList missing;
    // Register and flag names, counters and the status line are no words
    // of their own; the texts the status line is made of are checked where
    // they are said.
    const QRegularExpression names(
        "^[A-Z0-9/' ]{1,4}$|^IFF[12]$|^T-states |^Stopped at |^\\d+ instructions kept$|^$");
    for (const QString& text : texts) {
        if (names.match(text).hasMatch()) continue;
        if (swedish.translate("Debugger", text.toUtf8().constData()).isEmpty()) missing << text;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(" | ").toStdString();
    EXPECT_FALSE(swedish.translate("Debugger", "Stopped").isEmpty());
    EXPECT_FALSE(swedish.translate("Debugger", "%1 at %2").isEmpty());
    EXPECT_FALSE(swedish.translate("Debugger", "T-states %1, frame %2").isEmpty());
    EXPECT_FALSE(swedish.translate("Debugger", "%1 instructions kept").isEmpty());
}

} // namespace
