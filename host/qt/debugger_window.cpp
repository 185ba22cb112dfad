// The debugger window: its bar of actions, the views, and how it holds and
// lets go of the machine in the desktop's main loop.
#include "host/qt/debugger_window.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "abc80/history.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "host/qt/debugger_views.h"
#include "host/qt/desktop.h"
#include "host/qt/language.h"
#include "host/qt/main_window.h"
#include "host/text/screen_text.h"
#include "machine/frame.h"
#include "monitor/debug.h"
#include "monitor/disassembler.h"
#include "sound/mixer.h"

namespace {

QString debuggerText(const char* english) { return UiText("Debugger", english); }
QString hex4(unsigned value) { return QString("%1").arg(value, 4, 16, QChar('0')).toUpper(); }

// A step or run the window runs at once: at most this many frames, then it
// goes on in the main loop.
constexpr int ImmediateFrames = 2;
// While the machine runs, the registers are shown every this many frames.
constexpr int RunningRefreshFrames = 10;

} // namespace

// The trace entries as rows, read from the debug layer when shown.
class TraceModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(count);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        return QString::fromStdString(debugTraceLine(static_cast<size_t>(index.row())));
    }
    void reread() {
        beginResetModel();
        count = debugTraceCount();
        endResetModel();
    }

  private:
    size_t count = 0;
};

DebuggerWindow::DebuggerWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(debuggerText("Orvane Debugger"));
    setObjectName("Orvane Debugger");

    code = new DisassemblyView(this);
    code->onMarginClicked = [this](uint16_t address) { toggleBreakpoint(address); };
    code->onFollow = [this](uint16_t target) {
        code->showFrom(target);
        code->setCursorAddress(target);
        goToEdit->setText(hex4(target));
    };
    goToEdit = new QLineEdit(this);
    goToEdit->setPlaceholderText(debuggerText("Address or symbol"));
    QObject::connect(goToEdit, &QLineEdit::returnPressed, this, [this] { goTo(goToEdit->text()); });
    auto* goToButton = new QPushButton(debuggerText("Go to"), this);
    QObject::connect(goToButton, &QPushButton::clicked, this, [this] { goTo(goToEdit->text()); });
    auto* symbolsButton = new QPushButton(debuggerText("Symbols..."), this);
    QObject::connect(symbolsButton, &QPushButton::clicked, this, [this] {
        const QString path = symbolFileDialog ? symbolFileDialog() : QString();
        if (!path.isEmpty()) loadSymbols(path);
    });
    auto* goToRow = new QHBoxLayout();
    goToRow->addWidget(new QLabel(debuggerText("Disassembly at"), this));
    goToRow->addWidget(goToEdit, 1);
    goToRow->addWidget(goToButton);
    goToRow->addWidget(symbolsButton);
    auto* codeSide = new QWidget(this);
    auto* codeLayout = new QVBoxLayout(codeSide);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->addLayout(goToRow);
    codeLayout->addWidget(code, 1);

    registerPanel = new RegisterPanel(this);
    registerPanel->onEdited = [this] {
        // A changed PC is where the machine goes on; no stop happens there
        // before its instruction runs. The history cannot replay an edit.
        historyMachineChanged();
        debugHoldHere();
        refresh();
    };

    tabWidget = new QTabWidget(this);
    tabWidget->addTab(buildMemoryTab(), debuggerText("Memory"));
    screen = new QPlainTextEdit(this);
    screen->setReadOnly(true);
    screen->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    screen->setLineWrapMode(QPlainTextEdit::NoWrap);
    tabWidget->addTab(screen, debuggerText("Screen"));
    tabWidget->addTab(buildBreakpointTab(), debuggerText("Breakpoints"));
    tabWidget->addTab(buildTraceTab(), debuggerText("Trace"));
    QObject::connect(tabWidget, &QTabWidget::currentChanged, this, [this] { refresh(); });

    auto* rightSide = new QSplitter(Qt::Vertical, this);
    rightSide->addWidget(registerPanel);
    rightSide->addWidget(tabWidget);
    rightSide->setStretchFactor(1, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(codeSide);
    split->addWidget(rightSide);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);

    status = new QLabel(this);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildBar());
    layout->addWidget(split, 1);
    layout->addWidget(status);
    resize(1000, 640);

    // Opening changes nothing in the machine or its sound: the window only
    // shows where it stands.
    const bool held = debugStopped();
    buttons[ActionRun]->setEnabled(held);
    buttons[ActionStop]->setEnabled(!held);
    code->showAround(cpu.IP);
    refresh();
}

DebuggerWindow::~DebuggerWindow() = default;

QWidget* DebuggerWindow::buildBar() {
    struct Button {
        Action action;
        const char* text;
        const char* key;
        void (DebuggerWindow::*run)();
    };
    static const Button Buttons[] = {
        {ActionRun, QT_TRANSLATE_NOOP("Debugger", "Run"), "F5", &DebuggerWindow::run},
        {ActionStop, QT_TRANSLATE_NOOP("Debugger", "Stop"), "Shift+F5", &DebuggerWindow::stop},
        {ActionStepInto, QT_TRANSLATE_NOOP("Debugger", "Step into"), "F11",
         &DebuggerWindow::stepInto},
        {ActionStepOver, QT_TRANSLATE_NOOP("Debugger", "Step over"), "F10",
         &DebuggerWindow::stepOver},
        {ActionStepOut, QT_TRANSLATE_NOOP("Debugger", "Step out"), "Shift+F11",
         &DebuggerWindow::stepOut},
        {ActionRunToCursor, QT_TRANSLATE_NOOP("Debugger", "Run to cursor"), "Ctrl+F10",
         &DebuggerWindow::runToCursor},
        {ActionRunToNextFrame, QT_TRANSLATE_NOOP("Debugger", "Run to next frame"), "F8",
         &DebuggerWindow::runToNextFrame},
        {ActionStepBack, QT_TRANSLATE_NOOP("Debugger", "Step back"), "Shift+F10",
         &DebuggerWindow::stepBack},
        {ActionBackToBreakpoint, QT_TRANSLATE_NOOP("Debugger", "Back to breakpoint"), "Shift+F9",
         &DebuggerWindow::backToBreakpoint},
        {ActionBackFrame, QT_TRANSLATE_NOOP("Debugger", "Back a frame"), "Shift+F8",
         &DebuggerWindow::backFrame},
    };
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    for (const Button& b : Buttons) {
        auto* button = new QPushButton(debuggerText(b.text), bar);
        buttons[b.action] = button;
        row->addWidget(button);
        button->setToolTip(QString(b.key));
        auto method = b.run;
        QObject::connect(button, &QPushButton::clicked, this,
                         [this, method] { (this->*method)(); });
        auto* shortcut = new QShortcut(QKeySequence(QString(b.key)), this);
        QObject::connect(shortcut, &QShortcut::activated, this,
                         [this, method] { (this->*method)(); });
    }
    row->addStretch(1);
    return bar;
}

QWidget* DebuggerWindow::buildMemoryTab() {
    auto* tab = new QWidget(this);
    memoryModel = new MemoryModel(tab);
    memoryModel->onEdited = [] { historyMachineChanged(); };
    memoryView = new QTableView(tab);
    memoryView->setModel(memoryModel);
    memoryView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Fixed widths: sizing to the contents would read all 4096 rows.
    const QFontMetrics metrics(memoryView->font());
    memoryView->horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < MemoryModel::BytesPerRow; column++)
        memoryView->setColumnWidth(column, metrics.horizontalAdvance("MMM"));
    memoryView->setColumnWidth(
        MemoryModel::CharacterColumn,
        metrics.horizontalAdvance(QString(MemoryModel::BytesPerRow + 2, 'M')));
    memoryView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    memoryView->verticalHeader()->setDefaultSectionSize(QFontMetrics(memoryView->font()).height() +
                                                        2);
    memoryView->setShowGrid(false);
    memoryGoTo = new QLineEdit(tab);
    memoryGoTo->setPlaceholderText(debuggerText("Address or symbol"));
    QObject::connect(memoryGoTo, &QLineEdit::returnPressed, this, [this] {
        uint16_t address;
        if (!ParseDebuggerAddress(memoryGoTo->text(), address)) {
            say(debuggerText("Not an address or symbol: %1").arg(memoryGoTo->text()));
            return;
        }
        const QModelIndex at = memoryModel->index(address / MemoryModel::BytesPerRow,
                                                  address % MemoryModel::BytesPerRow);
        memoryView->scrollTo(at, QAbstractItemView::PositionAtTop);
        memoryView->setCurrentIndex(at);
    });
    follow = new QComboBox(tab);
    follow->addItem(debuggerText("Follow nothing"));
    for (const char* name : {"PC", "SP", "HL", "DE", "BC", "IX", "IY"})
        follow->addItem(name);
    QObject::connect(follow, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    auto* wrote = new QPushButton(debuggerText("Who wrote it?"), tab);
    wrote->setToolTip(debuggerText("Back to the instruction that last wrote the chosen byte"));
    QObject::connect(wrote, &QPushButton::clicked, this, [this] {
        const QModelIndex at = memoryView->currentIndex();
        if (!at.isValid() || at.column() >= MemoryModel::BytesPerRow) {
            say(debuggerText("Choose a byte of the memory first."));
            return;
        }
        whoWrote(static_cast<uint16_t>(at.row() * MemoryModel::BytesPerRow + at.column()));
    });
    auto* top = new QHBoxLayout();
    top->addWidget(new QLabel(debuggerText("Memory at"), tab));
    top->addWidget(memoryGoTo, 1);
    top->addWidget(follow);
    top->addWidget(wrote);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    layout->addWidget(memoryView, 1);
    return tab;
}

QWidget* DebuggerWindow::buildBreakpointTab() {
    auto* tab = new QWidget(this);
    breakpoints = new QTableWidget(0, 6, tab);
    breakpoints->setHorizontalHeaderLabels({debuggerText("Kinds"), debuggerText("From"),
                                            debuggerText("To"), debuggerText("Condition"),
                                            debuggerText("Hit count"), debuggerText("Hits")});
    breakpoints->verticalHeader()->hide();
    breakpoints->horizontalHeader()->setStretchLastSection(true);
    breakpoints->setEditTriggers(QAbstractItemView::NoEditTriggers);
    breakpoints->setSelectionBehavior(QAbstractItemView::SelectRows);
    breakpoints->setSelectionMode(QAbstractItemView::SingleSelection);

    breakFrom = new QLineEdit(tab);
    breakFrom->setPlaceholderText(debuggerText("From"));
    breakTo = new QLineEdit(tab);
    breakTo->setPlaceholderText(debuggerText("To"));
    const char* kindNames[3] = {QT_TRANSLATE_NOOP("Debugger", "Execute"),
                                QT_TRANSLATE_NOOP("Debugger", "Read"),
                                QT_TRANSLATE_NOOP("Debugger", "Write")};
    for (int i = 0; i < 3; i++)
        kindBoxes[i] = new QCheckBox(debuggerText(kindNames[i]), tab);
    kindBoxes[0]->setChecked(true);
    breakCondition = new QLineEdit(tab);
    breakCondition->setPlaceholderText(debuggerText("Condition, e.g. A=0 or HL>7C00"));
    breakHitCount = new QSpinBox(tab);
    breakHitCount->setRange(1, 1000000);
    breakHitCount->setPrefix(debuggerText("Hit count "));
    auto* add = new QPushButton(debuggerText("Add"), tab);
    QObject::connect(add, &QPushButton::clicked, this, [this] {
        const uint32_t kinds = (kindBoxes[0]->isChecked() ? uint32_t(WatchExecute) : 0u) |
                               (kindBoxes[1]->isChecked() ? uint32_t(WatchRead) : 0u) |
                               (kindBoxes[2]->isChecked() ? uint32_t(WatchWrite) : 0u);
        addBreakpoint(breakFrom->text(), breakTo->text(), kinds, breakCondition->text(),
                      breakHitCount->value());
    });
    auto* remove = new QPushButton(debuggerText("Remove"), tab);
    QObject::connect(remove, &QPushButton::clicked, this, [this] { removeSelectedBreakpoint(); });

    basicLine = new QLabel(tab);
    basicBreakLine = new QSpinBox(tab);
    basicBreakLine->setRange(1, 32767);
    basicBreakLine->setValue(10);
    auto* basicButton = new QPushButton(debuggerText("Break on BASIC line"), tab);
    QObject::connect(basicButton, &QPushButton::clicked, this,
                     [this] { breakOnBasicLine(basicBreakLine->value()); });

    auto* form = new QHBoxLayout();
    form->addWidget(breakFrom);
    form->addWidget(breakTo);
    for (QCheckBox* box : kindBoxes)
        form->addWidget(box);
    auto* form2 = new QHBoxLayout();
    form2->addWidget(breakCondition, 1);
    form2->addWidget(breakHitCount);
    form2->addWidget(add);
    form2->addWidget(remove);
    auto* basic = new QHBoxLayout();
    basic->addWidget(basicLine, 1);
    basic->addWidget(basicBreakLine);
    basic->addWidget(basicButton);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(breakpoints, 1);
    layout->addLayout(form);
    layout->addLayout(form2);
    layout->addLayout(basic);
    return tab;
}

QWidget* DebuggerWindow::buildTraceTab() {
    auto* tab = new QWidget(this);
    traceOn = new QCheckBox(debuggerText("Record the last 100,000 instructions"), tab);
    QObject::connect(traceOn, &QCheckBox::toggled, this, [this](bool on) { setTracing(on); });
    traceSearch = new QLineEdit(tab);
    traceSearch->setPlaceholderText(debuggerText("Find text"));
    auto* find = new QPushButton(debuggerText("Find next"), tab);
    auto findNext = [this] { findInTrace(traceSearch->text()); };
    QObject::connect(find, &QPushButton::clicked, this, findNext);
    QObject::connect(traceSearch, &QLineEdit::returnPressed, this, findNext);
    auto* write = new QPushButton(debuggerText("Write to file..."), tab);
    QObject::connect(write, &QPushButton::clicked, this, [this] {
        const QString path = traceFileDialog ? traceFileDialog() : QString();
        if (!path.isEmpty()) writeTrace(path);
    });
    traceCount = new QLabel(tab);
    traceModel = new TraceModel(tab);
    traceView = new QListView(tab);
    traceView->setModel(traceModel);
    traceView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    traceView->setUniformItemSizes(true);
    auto* top = new QHBoxLayout();
    top->addWidget(traceOn);
    top->addWidget(traceCount, 1);
    auto* search = new QHBoxLayout();
    search->addWidget(traceSearch, 1);
    search->addWidget(find);
    search->addWidget(write);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    layout->addLayout(search);
    layout->addWidget(traceView, 1);
    return tab;
}

// ---- the machine held and let go ------------------------------------------------

bool DebuggerWindow::holdsMachine() const { return debugStopped() || userHeld; }

void DebuggerWindow::holdHere() {
    if (holdsMachine()) return;
    debugCancelStep();
    debugHoldHere();
    userHeld = true;
}

void DebuggerWindow::letRun() {
    if (debugStopped()) debugResume();
    userHeld = false;
    ResetPacing();
    showRunning();
}

void DebuggerWindow::run() {
    message.clear();
    if (!holdsMachine()) return;
    // From the user's own stop the instruction at PC runs first, even on a
    // breakpoint.
    if (userHeld) debugHoldHere();
    letRun();
}

void DebuggerWindow::stop() {
    message.clear();
    holdHere();
    showHeld();
}

void DebuggerWindow::runArmedStep() {
    userHeld = false;
    if (debugRun(ImmediateFrames)) {
        PresentMachinePicture();
        showHeld();
        return;
    }
    // Not there yet: the main loop runs on until the step ends.
    PresentMachinePicture();
    ResetPacing();
    showRunning();
}

void DebuggerWindow::stepInto() {
    message.clear();
    holdHere();
    debugStepInto();
    runArmedStep();
}

void DebuggerWindow::stepOver() {
    message.clear();
    holdHere();
    debugStepOver();
    runArmedStep();
}

void DebuggerWindow::stepOut() {
    message.clear();
    holdHere();
    debugStepOut();
    runArmedStep();
}

void DebuggerWindow::runToCursor() {
    message.clear();
    const int target = code->cursorAddress();
    if (target < 0) {
        say(debuggerText("Choose a line of the disassembly first."));
        return;
    }
    holdHere();
    debugRunTo(static_cast<uint16_t>(target));
    runArmedStep();
}

void DebuggerWindow::runToNextFrame() {
    message.clear();
    holdHere();
    userHeld = false;
    // The rest of the frame (or a whole one between frames), then held at
    // the start of the next.
    const bool stopped = debugRun(1);
    if (!stopped) {
        debugHoldHere();
        userHeld = true;
    }
    PresentMachinePicture();
    showHeld();
}

bool DebuggerWindow::goBack(bool (*jump)(std::string& message)) {
    message.clear();
    holdHere();
    std::string said;
    const bool landed = jump(said);
    if (landed) {
        // Held where it landed, a frame pending or not; the stop it left
        // is over.
        if (debugStopped()) debugResume();
        userHeld = true;
        PresentMachinePicture();
        ResetPacing();
    }
    showHeld();
    say(MessageText(QString::fromStdString(said)));
    return landed;
}

void DebuggerWindow::stepBack() { goBack(historyStepBack); }

void DebuggerWindow::backToBreakpoint() { goBack(historyBackToBreakpoint); }

void DebuggerWindow::backFrame() {
    goBack([](std::string& said) { return historyBackFrames(1, said); });
}

bool DebuggerWindow::whoWrote(uint16_t address) {
    static uint16_t wanted;
    wanted = address;
    return goBack([](std::string& said) {
        HistoryWrite write;
        return historyWhoWrote(wanted, write, said);
    });
}

void DebuggerWindow::afterFrame() {
    if (debugStopped()) {
        showHeld();
        return;
    }
    if (!isVisible()) return;
    // Let go elsewhere (the monitor closed): shown as running at once.
    if (buttons[ActionRun]->isEnabled() && !holdsMachine()) showRunning();
    if (++framesSinceShown >= RunningRefreshFrames) {
        framesSinceShown = 0;
        registerPanel->refresh(false);
        if (tabWidget->currentIndex() == 0) memoryModel->reread();
    }
}

void DebuggerWindow::closeEvent(QCloseEvent* event) {
    // A window that is gone holds nothing: the machine goes on.
    if (holdsMachine()) run();
    debugCancelStep();
    event->accept();
}

// ---- what is shown ------------------------------------------------------------

void DebuggerWindow::say(const QString& text) {
    message = text;
    status->setText(statusText());
}

QString DebuggerWindow::statusText() const {
    QString state;
    if (!holdsMachine()) {
        state = debuggerText("Running");
    } else {
        const DebugStop& last = debugLastStop();
        QString why;
        if (!debugStopped())
            why = debuggerText("Stopped");
        else if (last.reason == DebugStopReason::Breakpoint)
            why = debuggerText("Breakpoint");
        else if (last.reason == DebugStopReason::Watchpoint)
            why = (last.kind == WatchRead ? debuggerText("Read watch on %1")
                                          : debuggerText("Write watch on %1"))
                      .arg(hex4(last.address));
        else
            why = debuggerText("Step");
        state = debuggerText("%1 at %2").arg(why, hex4(cpu.IP));
        const int line = debugBasicLine();
        if (line > 0) state += ", " + debuggerText("BASIC line %1").arg(line);
    }
    return message.isEmpty() ? state + "." : state + ". " + message;
}

void DebuggerWindow::showHeld() {
    // No sound runs on while the machine is held, as in the monitor.
    PauseSound();
    memoryModel->setEditable(true);
    code->showAround(cpu.IP);
    code->setCursorAddress(cpu.IP);
    refresh();
    for (Action a : {ActionRun, ActionStepInto, ActionStepOver, ActionStepOut, ActionRunToCursor,
                     ActionRunToNextFrame, ActionStepBack, ActionBackToBreakpoint, ActionBackFrame})
        buttons[a]->setEnabled(true);
    buttons[ActionStop]->setEnabled(false);
    if (isVisible()) {
        raise();
    }
}

void DebuggerWindow::showRunning() {
    if (desktop.running) ResumeSound();
    memoryModel->setEditable(false);
    refresh();
    buttons[ActionRun]->setEnabled(false);
    buttons[ActionStop]->setEnabled(true);
}

void DebuggerWindow::refresh() {
    const bool held = holdsMachine();
    registerPanel->refresh(held);
    code->refresh();
    memoryModel->setEditable(held);
    memoryModel->reread();
    if (follow->currentIndex() > 0) {
        const uint16_t values[] = {cpu.IP, cpu.SP, cpu.HL, cpu.DE, cpu.BC, cpu.IX, cpu.IY};
        const uint16_t address = values[follow->currentIndex() - 1];
        const QModelIndex at = memoryModel->index(address / MemoryModel::BytesPerRow,
                                                  address % MemoryModel::BytesPerRow);
        memoryView->scrollTo(at, QAbstractItemView::PositionAtCenter);
        memoryView->setCurrentIndex(at);
    }
    screen->setPlainText(QString::fromUtf8(ScreenText().c_str()));
    fillBreakpoints();
    const int line = debugBasicLine();
    basicLine->setText(line < 0    ? debuggerText("The running BASIC is not the open firmware.")
                       : line == 0 ? debuggerText("No BASIC line running (direct mode).")
                                   : debuggerText("BASIC line %1").arg(line));
    fillTrace();
    status->setText(statusText());
}

void DebuggerWindow::fillBreakpoints() {
    const std::vector<DebugBreakpoint>& list = debugBreakpoints();
    breakpoints->setRowCount(static_cast<int>(list.size()));
    for (size_t i = 0; i < list.size(); i++) {
        const DebugBreakpoint& b = list[i];
        QString kinds;
        if (b.kinds & WatchExecute) kinds += "X";
        if (b.kinds & WatchRead) kinds += "R";
        if (b.kinds & WatchWrite) kinds += "W";
        if (b.basicLine >= 0) kinds = debuggerText("BASIC line %1").arg(b.basicLine);
        const QString cells[6] = {kinds,
                                  hex4(b.from),
                                  hex4(b.to),
                                  QString::fromStdString(debugConditionText(b.condition)),
                                  QString::number(b.hitCount),
                                  QString::number(b.hits)};
        for (int column = 0; column < 6; column++) {
            QTableWidgetItem* cell = breakpoints->item(static_cast<int>(i), column);
            if (!cell) {
                cell = new QTableWidgetItem();
                breakpoints->setItem(static_cast<int>(i), column, cell);
            }
            cell->setText(cells[column]);
        }
    }
}

void DebuggerWindow::fillTrace() {
    traceOn->blockSignals(true);
    traceOn->setChecked(debugTracing());
    traceOn->blockSignals(false);
    // While the machine runs the list would change under the reader.
    if (holdsMachine() || !debugTracing()) traceModel->reread();
    traceCount->setText(debuggerText("%1 instructions kept").arg(debugTraceCount()));
}

// ---- the user's requests --------------------------------------------------------

void DebuggerWindow::toggleBreakpoint(uint16_t address) {
    const bool set = debugToggleBreakpoint(address);
    say((set ? debuggerText("Breakpoint set at %1") : debuggerText("Breakpoint removed at %1"))
            .arg(hex4(address)));
    refresh();
}

bool DebuggerWindow::goTo(const QString& where) {
    uint16_t address;
    if (!ParseDebuggerAddress(where, address)) {
        say(debuggerText("Not an address or symbol: %1").arg(where));
        return false;
    }
    code->showFrom(address);
    code->setCursorAddress(address);
    return true;
}

bool DebuggerWindow::loadSymbols(const QString& path) {
    DebugSymbolsRead read;
    std::string cause;
    if (!debugLoadSymbolFile(path.toStdString(), read, &cause)) {
        say(MessageText(QString("Cannot load %1: %2.").arg(path, QString::fromStdString(cause))));
        return false;
    }
    say(debuggerText("%1 symbols read, %2 lines skipped; %3 known.")
            .arg(read.read)
            .arg(read.skipped)
            .arg(debugSymbolCount()));
    code->refresh();
    return true;
}

bool DebuggerWindow::addBreakpoint(const QString& from, const QString& to, uint32_t kinds,
                                   const QString& condition, int hitCount) {
    DebugBreakpoint entry;
    uint16_t first, last;
    if (!ParseDebuggerAddress(from, first)) {
        say(debuggerText("Not an address or symbol: %1").arg(from));
        return false;
    }
    last = first;
    if (!to.trimmed().isEmpty() && !ParseDebuggerAddress(to, last)) {
        say(debuggerText("Not an address or symbol: %1").arg(to));
        return false;
    }
    if (!debugParseCondition(condition.toStdString(), entry.condition)) {
        say(debuggerText("Not a condition: %1").arg(condition));
        return false;
    }
    if (kinds == 0) {
        say(debuggerText("Choose execute, read or write."));
        return false;
    }
    entry.from = first;
    entry.to = last;
    entry.kinds = kinds;
    entry.hitCount = static_cast<uint32_t>(hitCount < 1 ? 1 : hitCount);
    debugAddBreakpoint(entry);
    message.clear();
    refresh();
    return true;
}

void DebuggerWindow::removeSelectedBreakpoint() {
    debugRemoveBreakpoint(breakpoints->currentRow());
    refresh();
}

bool DebuggerWindow::breakOnBasicLine(int line) {
    if (debugBreakOnBasicLine(line) < 0) {
        say(debuggerText("The running BASIC is not the open firmware."));
        return false;
    }
    say(debuggerText("Stop when BASIC line %1 starts.").arg(line));
    refresh();
    return true;
}

void DebuggerWindow::setTracing(bool on) {
    debugTraceOn(on);
    refresh();
}

int DebuggerWindow::findInTrace(const QString& text) {
    if (text.isEmpty()) return -1;
    traceModel->reread();
    const std::vector<size_t> found = debugTraceFind(text.toStdString());
    const int from = traceView->currentIndex().isValid() ? traceView->currentIndex().row() : -1;
    int next = -1;
    for (size_t i : found)
        if (static_cast<int>(i) > from) {
            next = static_cast<int>(i);
            break;
        }
    if (next < 0 && !found.empty()) next = static_cast<int>(found.front()); // wraps round
    say(debuggerText("%1 found.").arg(found.size()));
    if (next >= 0) {
        const QModelIndex at = traceModel->index(next);
        traceView->setCurrentIndex(at);
        traceView->scrollTo(at, QAbstractItemView::PositionAtCenter);
    }
    return next;
}

bool DebuggerWindow::writeTrace(const QString& path) {
    std::string cause;
    if (!debugTraceWrite(path.toStdString(), &cause)) {
        say(MessageText(QString("Cannot write %1: %2.").arg(path, QString::fromStdString(cause))));
        return false;
    }
    say(debuggerText("Trace of %1 instructions written to %2.").arg(debugTraceCount()).arg(path));
    return true;
}

// ---- the desktop's window -----------------------------------------------------------

DebuggerWindow* OpenDebugger(const QString& symbolFile) {
    if (!desktop.debugger) {
        if (debugSymbolCount() == 0) debugAddFirmwareSymbols();
        desktop.debugger = new DebuggerWindow(desktop.window);
        desktop.debugger->symbolFileDialog = [] {
            return QFileDialog::getOpenFileName(desktop.debugger, debuggerText("Symbols..."));
        };
        desktop.debugger->traceFileDialog = [] {
            return QFileDialog::getSaveFileName(desktop.debugger, debuggerText("Write to file..."));
        };
    }
    DebuggerWindow* window = desktop.debugger;
    if (!symbolFile.isEmpty()) window->loadSymbols(symbolFile);
    window->refresh();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

bool DebuggerTakesStops() { return desktop.debugger && desktop.debugger->isVisible(); }

bool DebuggerHoldsFrames() { return DebuggerTakesStops() && desktop.debugger->holdsMachine(); }
