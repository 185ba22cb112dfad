// The "Orvane Debugger" window: a window of its own beside the picture,
// built on the debug layer (monitor/debug.h). It never waits: the machine
// runs on in the main loop until the user stops it or a breakpoint, watch
// or step stops it, and while it is stopped the main loop holds its frames
// (DebuggerHoldsFrames) and goes on handling events, so the picture, the
// menus and closing keep working.
//
// Two ways the machine is held: a stop of the debug layer (a frame ended
// at a breakpoint, a watch or a step, pending until resumed) or the user's
// Stop between two frames (the boundary marked with debugHoldHere). Steps
// run at once through the debug layer's runner; a step that has not ended
// after two frames (a step over a call that waits for a key, say) goes on in
// the main loop, and its end is a stop like any other.
//
// Back in time: the machine's history (abc80/history.h) takes it back an
// instruction, to the last breakpoint hit, a frame, or to the instruction
// that wrote a byte; it lands held. An edit of memory or registers starts
// the history again from that moment.
//
// Closing the window lets a held machine go on; breakpoints stay. While the
// window is hidden, stops open the interactive monitor as before.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class DisassemblyView;
class MemoryModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTableWidget;
class RegisterPanel;
class TraceModel;

class DebuggerWindow : public QWidget {
  public:
    // The buttons of the bar above the views.
    enum Action {
        ActionRun,
        ActionStop,
        ActionStepInto,
        ActionStepOver,
        ActionStepOut,
        ActionRunToCursor,
        ActionRunToNextFrame,
        ActionStepBack,
        ActionBackToBreakpoint,
        ActionBackFrame,
        ActionCount
    };

    explicit DebuggerWindow(QWidget* owner = nullptr);
    ~DebuggerWindow() override;

    // True while the machine is held for the window (no frames run).
    bool holdsMachine() const;
    // After every frame of the main loop: a frame that ended at a stop is
    // shown; while running the registers and counters are shown a few
    // times a second.
    void afterFrame();

    void run();
    void stop();
    void stepInto();
    void stepOver();
    void stepOut();
    void runToCursor();
    void runToNextFrame();
    // Back in time through the machine's history: one instruction, to the
    // last breakpoint hit, to the start of the frame before. The machine is
    // held where it lands; what cannot be done is said and changes nothing.
    void stepBack();
    void backToBreakpoint();
    void backFrame();
    // Back to the instruction that last wrote the byte at address.
    bool whoWrote(uint16_t address);
    // Toggles an execution breakpoint (from a click in the margin).
    void toggleBreakpoint(uint16_t address);
    // The disassembly from an address or symbol; false (and said in the
    // status line) when the text is neither.
    bool goTo(const QString& where);
    // Loads a symbol file; the result is said in the status line.
    bool loadSymbols(const QString& path);
    // Everything shown again from the machine.
    void refresh();

    // The status line: running, or where and why the machine stopped.
    QString statusText() const;
    QPushButton* button(Action action) const { return buttons[action]; }
    DisassemblyView* disassembly() const { return code; }
    RegisterPanel* registers() const { return registerPanel; }
    MemoryModel* memory() const { return memoryModel; }
    QTableView* memoryTable() const { return memoryView; }
    QTableWidget* breakpointTable() const { return breakpoints; }
    QPlainTextEdit* screenText() const { return screen; }
    QTabWidget* tabs() const { return tabWidget; }
    QLineEdit* goToField() const { return goToEdit; }

    // The breakpoint form: range, kinds, condition and hit count; false
    // (and said in the status line) when a field is not valid.
    bool addBreakpoint(const QString& from, const QString& to, uint32_t kinds,
                       const QString& condition, int hitCount);
    void removeSelectedBreakpoint();
    bool breakOnBasicLine(int line);
    // The trace: on or off, a search from the selected entry on (the
    // entry found, or -1), written to a file.
    void setTracing(bool on);
    int findInTrace(const QString& text);
    bool writeTrace(const QString& path);

    // File dialogs (replaceable for tests): a path, or "" when cancelled.
    std::function<QString()> symbolFileDialog;
    std::function<QString()> traceFileDialog;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildBar();
    QWidget* buildMemoryTab();
    QWidget* buildBreakpointTab();
    QWidget* buildTraceTab();
    void say(const QString& text);
    void showHeld();
    void showRunning();
    // Holds the machine at the current boundary when it runs.
    void holdHere();
    // Lets the main loop run the machine on.
    void letRun();
    // After an armed step: runs it at once for up to two frames; a stop is
    // shown, otherwise the step goes on in the main loop.
    void runArmedStep();
    // Runs a jump of the history and shows where it landed.
    bool goBack(bool (*jump)(std::string& message));
    void fillBreakpoints();
    void fillTrace();

    QPushButton* buttons[ActionCount] = {};
    DisassemblyView* code = nullptr;
    RegisterPanel* registerPanel = nullptr;
    MemoryModel* memoryModel = nullptr;
    QTableView* memoryView = nullptr;
    QComboBox* follow = nullptr;
    QLineEdit* goToEdit = nullptr;
    QLineEdit* memoryGoTo = nullptr;
    QPlainTextEdit* screen = nullptr;
    QTableWidget* breakpoints = nullptr;
    QLineEdit* breakFrom = nullptr;
    QLineEdit* breakTo = nullptr;
    QCheckBox* kindBoxes[3] = {};
    QLineEdit* breakCondition = nullptr;
    QSpinBox* breakHitCount = nullptr;
    QLabel* basicLine = nullptr;
    QSpinBox* basicBreakLine = nullptr;
    QCheckBox* traceOn = nullptr;
    QLineEdit* traceSearch = nullptr;
    QListView* traceView = nullptr;
    TraceModel* traceModel = nullptr;
    QLabel* traceCount = nullptr;
    QTabWidget* tabWidget = nullptr;
    QLabel* status = nullptr;
    QString message; // the last thing said, shown after the state
    bool userHeld = false;
    int framesSinceShown = 0;
};

// The desktop's debugger window: created on first use (loading the open
// firmware's labels), shown and raised; symbolFile (when not empty) is
// loaded into it.
DebuggerWindow* OpenDebugger(const QString& symbolFile = QString());
// True while a shown debugger window holds the machine.
bool DebuggerHoldsFrames();
// True when stops go to the debugger window rather than the monitor.
bool DebuggerTakesStops();
