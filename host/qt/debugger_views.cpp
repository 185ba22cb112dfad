// The debugger window's disassembly, memory and register views.
#include "host/qt/debugger_views.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QWheelEvent>

#include <algorithm>

#include "cpu/z80.h"
#include "host/qt/language.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "monitor/debug.h"
#include "monitor/disassembler.h"

#include "cpu/bus.h"

namespace {

QString debuggerText(const char* english) { return UiText("Debugger", english); }

QString hex4(unsigned value) { return QString("%1").arg(value, 4, 16, QChar('0')).toUpper(); }
QString hex2(unsigned value) { return QString("%1").arg(value, 2, 16, QChar('0')).toUpper(); }

QFont fixedFont() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

} // namespace

bool ParseDebuggerAddress(const QString& text, uint16_t& address) {
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    uint16_t named;
    if (debugSymbolAddress(t.toStdString(), named)) {
        address = named;
        return true;
    }
    if (t.startsWith('$'))
        t.remove(0, 1);
    else if (t.startsWith("0x", Qt::CaseInsensitive))
        t.remove(0, 2);
    else if (t.endsWith('h', Qt::CaseInsensitive))
        t.chop(1);
    if (t.isEmpty() || t.size() > 4) return false;
    bool ok = false;
    const uint value = t.toUInt(&ok, 16);
    if (!ok) return false;
    address = static_cast<uint16_t>(value);
    return true;
}

int InstructionTarget(const QString& instruction) {
    static const QRegularExpression word("\\b([0-9a-f]{4})h\\b");
    static const QRegularExpression restart("^rst ([0-9a-f]{2})h");
    QRegularExpressionMatch found = word.match(instruction);
    if (found.hasMatch()) return found.captured(1).toInt(nullptr, 16);
    found = restart.match(instruction);
    if (found.hasMatch()) return found.captured(1).toInt(nullptr, 16);
    return -1;
}

// ---- disassembly ------------------------------------------------------------

DisassemblyView::DisassemblyView(QWidget* parent) : QTableWidget(Rows, 5, parent) {
    setFont(fixedFont());
    setHorizontalHeaderLabels({"", debuggerText("Label"), debuggerText("Address"),
                               debuggerText("Bytes"), debuggerText("Instruction")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(QFontMetrics(fixedFont()).height() + 2);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(false);
    setWordWrap(false);
    const QFontMetrics metrics(fixedFont());
    setColumnWidth(MarginColumn, metrics.horizontalAdvance("M>") + 10);
    setColumnWidth(LabelColumn, metrics.horizontalAdvance("MMMMMMMMMM"));
    setColumnWidth(AddressColumn, metrics.horizontalAdvance("Address") + 16);
    setColumnWidth(BytesColumn, metrics.horizontalAdvance("MM MM MM MM "));
    for (int row = 0; row < Rows; row++)
        for (int column = 0; column < 5; column++)
            setItem(row, column, new QTableWidgetItem());
    QObject::connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == MarginColumn && rowAddress(row) >= 0 && onMarginClicked)
            onMarginClicked(static_cast<uint16_t>(rowAddress(row)));
    });
    QObject::connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (rowAddress(row) < 0) return;
        std::string line;
        disassemble(static_cast<uint16_t>(rowAddress(row)), line);
        const int target = InstructionTarget(QString::fromStdString(line));
        if (target >= 0 && onFollow) onFollow(static_cast<uint16_t>(target));
    });
}

int DisassemblyView::rowAddress(int row) const {
    if (row < 0 || row >= static_cast<int>(addresses.size())) return -1;
    return addresses[static_cast<size_t>(row)];
}

int DisassemblyView::rowOf(uint16_t address) const {
    for (size_t i = 0; i < addresses.size(); i++)
        if (addresses[i] == address) return static_cast<int>(i);
    return -1;
}

int DisassemblyView::cursorAddress() const { return rowAddress(currentRow()); }

void DisassemblyView::setCursorAddress(uint16_t address) {
    const int row = rowOf(address);
    if (row >= 0) setCurrentCell(row, InstructionColumn);
}

void DisassemblyView::showFrom(uint16_t address) {
    start = address;
    refresh();
    scrollToTop();
}

void DisassemblyView::showAround(uint16_t pc) {
    const int row = rowOf(pc);
    if (row >= 0 && row < Rows - 8) {
        refresh();
        return;
    }
    showFrom(startBefore(pc));
}

uint16_t DisassemblyView::startBefore(uint16_t address) {
    // Instructions have no marks of their own: the earliest start that
    // lands on address, found by disassembling forward.
    for (int back = 12; back > 0; back--) {
        uint16_t at = static_cast<uint16_t>(address - back);
        std::string line;
        int steps = 0;
        while (at != address && static_cast<uint16_t>(address - at) <= 12 && steps++ < 12)
            at = disassemble(at, line);
        if (at == address) return static_cast<uint16_t>(address - back);
    }
    return address;
}

void DisassemblyView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40; // 3 lines a notch
    if (steps < 0 && addresses.size() > 3) {
        start = addresses[static_cast<size_t>(std::min<int>(-steps, Rows - 1))];
    } else if (steps > 0) {
        for (int i = 0; i < steps; i++) {
            // One instruction back: the last one of a run that lands on start
            // (a byte back when none does).
            uint16_t at = startBefore(start), last = static_cast<uint16_t>(start - 1);
            std::string line;
            while (at != start && static_cast<uint16_t>(start - at) <= 12) {
                last = at;
                at = disassemble(at, line);
            }
            start = last;
        }
    }
    refresh();
    event->accept();
}

void DisassemblyView::refresh() {
    addresses.clear();
    uint16_t at = start;
    const QColor breakColour(200, 0, 0), pcColour(255, 240, 160);
    for (int row = 0; row < Rows; row++) {
        std::string line;
        const uint16_t address = at;
        at = disassemble(address, line);
        addresses.push_back(address);
        // " 8000 3E 12       ld a,12h": address, bytes, then the mnemonic.
        const QString text = QString::fromStdString(line);
        const QString bytes = text.mid(6, 12).trimmed();
        QString instruction = text.mid(18).trimmed().replace('\t', "  ");
        const int target = InstructionTarget(instruction);
        if (target >= 0)
            if (const std::string* name = debugSymbolAt(static_cast<uint16_t>(target)))
                instruction += "  ; " + QString::fromStdString(*name);
        const std::string* label = debugSymbolAt(address);
        const bool marked = (WatchFlags[address] & WatchExecute) != 0;
        const bool isPc = address == cpu.IP;
        item(row, MarginColumn)->setText(QString(marked ? "*" : "") + (isPc ? ">" : ""));
        item(row, MarginColumn)->setForeground(breakColour);
        item(row, LabelColumn)->setText(label ? QString::fromStdString(*label) : QString());
        item(row, AddressColumn)->setText(hex4(address));
        item(row, BytesColumn)->setText(bytes);
        item(row, InstructionColumn)->setText(instruction);
        for (int column = 0; column < 5; column++)
            item(row, column)->setBackground(isPc ? QBrush(pcColour) : QBrush());
    }
}

// ---- memory -------------------------------------------------------------------

int MemoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 65536 / BytesPerRow;
}

int MemoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : BytesPerRow + 1;
}

namespace {
QChar shownCharacter(uint8_t byte) {
    const uint8_t c = byte & 0x7F;
    return c >= 0x20 && c < 0x7F ? QChar(c) : QChar('.');
}
} // namespace

QVariant MemoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const uint16_t rowStart = static_cast<uint16_t>(index.row() * BytesPerRow);
    const uint16_t address = static_cast<uint16_t>(rowStart + index.column());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (index.column() < BytesPerRow) return hex2(memRead(address));
        QString text;
        for (int i = 0; i < BytesPerRow; i++)
            text += shownCharacter(memRead(static_cast<uint16_t>(rowStart + i)));
        return text;
    }
    if (role == Qt::ForegroundRole) {
        const bool rom = index.column() < BytesPerRow ? !processorCanWrite(address)
                                                      : !processorCanWrite(rowStart);
        if (rom) return QBrush(Qt::gray);
    }
    if (role == Qt::ToolTipRole && index.column() < BytesPerRow)
        return hex4(address) + (processorCanWrite(address) ? "" : " " + debuggerText("ROM"));
    return {};
}

QVariant MemoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return hex4(static_cast<unsigned>(section * BytesPerRow));
    return section < BytesPerRow ? QString::number(section, 16).toUpper() : QString();
}

Qt::ItemFlags MemoryModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid()) return f;
    const uint16_t address = static_cast<uint16_t>(
        index.row() * BytesPerRow + (index.column() < BytesPerRow ? index.column() : 0));
    if (editable && processorCanWrite(address)) f |= Qt::ItemIsEditable;
    return f;
}

bool MemoryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !editable) return false;
    const uint16_t rowStart = static_cast<uint16_t>(index.row() * BytesPerRow);
    if (index.column() < BytesPerRow) {
        const uint16_t address = static_cast<uint16_t>(rowStart + index.column());
        bool ok = false;
        const uint byte = value.toString().trimmed().toUInt(&ok, 16);
        if (!ok || byte > 0xFF || !processorCanWrite(address)) return false;
        memWrite(address, static_cast<uint8_t>(byte));
    } else {
        const QByteArray bytes = value.toString().toLatin1();
        bool wrote = false;
        for (int i = 0; i < bytes.size() && i < BytesPerRow; i++) {
            const uint16_t address = static_cast<uint16_t>(rowStart + i);
            if (!processorCanWrite(address)) break;
            memWrite(address, static_cast<uint8_t>(bytes[i]));
            wrote = true;
        }
        if (!wrote) return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), BytesPerRow));
    if (onEdited) onEdited();
    return true;
}

void MemoryModel::reread() { emit dataChanged(index(0, 0), index(rowCount() - 1, BytesPerRow)); }

// ---- registers ------------------------------------------------------------------

namespace {

struct RegisterSlot {
    const char* name;
    uint16_t* word;
    uint8_t* byte;
};

std::vector<RegisterSlot> registerSlots() {
    return {
        {"AF", &cpu.AF, nullptr},     {"BC", &cpu.BC, nullptr},     {"DE", &cpu.DE, nullptr},
        {"HL", &cpu.HL, nullptr},     {"IX", &cpu.IX, nullptr},     {"IY", &cpu.IY, nullptr},
        {"SP", &cpu.SP, nullptr},     {"PC", &cpu.IP, nullptr},     {"AF'", &cpu.altAF, nullptr},
        {"BC'", &cpu.altBC, nullptr}, {"DE'", &cpu.altDE, nullptr}, {"HL'", &cpu.altHL, nullptr},
        {"I", nullptr, &cpu.I},       {"R", nullptr, &cpu.R}};
}

constexpr const char* FlagNames[8] = {"C", "N", "P/V", "3", "H", "5", "Z", "S"};

} // namespace

RegisterPanel::RegisterPanel(QWidget* parent) : QWidget(parent) {
    setFont(fixedFont());
    auto* grid = new QGridLayout();
    const std::vector<RegisterSlot> table = registerSlots();
    for (size_t i = 0; i < table.size(); i++) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString("register ") + table[i].name);
        field->setMaxLength(table[i].word ? 4 : 2);
        field->setInputMask(table[i].word ? "HHHH" : "HH");
        field->setFixedWidth(QFontMetrics(fixedFont()).horizontalAdvance("MMMMMM") + 8);
        fields.push_back(field);
        const int row = static_cast<int>(i % 8), column = static_cast<int>(i / 8) * 2;
        grid->addWidget(new QLabel(table[i].name, this), row, column);
        grid->addWidget(field, row, column + 1);
        QObject::connect(field, &QLineEdit::editingFinished, this,
                         [this, i] { commit(static_cast<int>(i)); });
    }
    grid->setColumnStretch(4, 1);
    auto* flagRow = new QHBoxLayout();
    for (int bit = 7; bit >= 0; bit--) {
        flags[bit] = new QCheckBox(FlagNames[bit], this);
        flagRow->addWidget(flags[bit]);
        QObject::connect(flags[bit], &QCheckBox::toggled, this, [this] { commitFlags(); });
    }
    auto* interruptRow = new QHBoxLayout();
    iff1 = new QCheckBox("IFF1", this);
    iff2 = new QCheckBox("IFF2", this);
    im = new QSpinBox(this);
    im->setRange(0, 2);
    im->setPrefix("IM ");
    halted = new QLabel(this);
    for (QWidget* w : std::initializer_list<QWidget*>{iff1, iff2, im, halted})
        interruptRow->addWidget(w);
    interruptRow->addStretch(1);
    QObject::connect(iff1, &QCheckBox::toggled, this, [this] { commitInterrupts(); });
    QObject::connect(iff2, &QCheckBox::toggled, this, [this] { commitInterrupts(); });
    QObject::connect(im, &QSpinBox::valueChanged, this, [this] { commitInterrupts(); });
    counters = new QLabel(this);
    counters->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(grid);
    layout->addLayout(flagRow);
    layout->addLayout(interruptRow);
    layout->addWidget(counters);
    layout->addStretch(1);
}

QLineEdit* RegisterPanel::field(const QString& name) const {
    const std::vector<RegisterSlot> table = registerSlots();
    for (size_t i = 0; i < table.size(); i++)
        if (name == table[i].name) return fields[i];
    return nullptr;
}

QString RegisterPanel::countersText() const { return counters->text(); }

void RegisterPanel::refresh(bool editable) {
    filling = true;
    const std::vector<RegisterSlot> table = registerSlots();
    for (size_t i = 0; i < table.size(); i++) {
        QLineEdit* field = fields[i];
        if (!field->hasFocus() || !editable)
            field->setText(table[i].word ? hex4(*table[i].word) : hex2(*table[i].byte));
        field->setReadOnly(!editable);
    }
    for (int bit = 0; bit < 8; bit++) {
        flags[bit]->setChecked((cpu.AF & (1u << bit)) != 0);
        flags[bit]->setEnabled(editable);
    }
    iff1->setChecked(cpu.IFF1 != 0);
    iff2->setChecked(cpu.IFF2 != 0);
    im->setValue(cpu.IM);
    for (QWidget* w : std::initializer_list<QWidget*>{iff1, iff2, im})
        w->setEnabled(editable);
    // A halted processor keeps its program counter on the HALT.
    halted->setText(memRead(cpu.IP) == 0x76 ? debuggerText("Halted") : QString());
    counters->setText(debuggerText("T-states %1, frame %2")
                          .arg(static_cast<qulonglong>(cpu.TCOUNT))
                          .arg(static_cast<qulonglong>(frameCounter)));
    filling = false;
}

void RegisterPanel::commit(int index) {
    if (filling || fields[static_cast<size_t>(index)]->isReadOnly()) return;
    const RegisterSlot slot = registerSlots()[static_cast<size_t>(index)];
    bool ok = false;
    const uint value = fields[static_cast<size_t>(index)]->text().toUInt(&ok, 16);
    if (!ok) return;
    if (slot.word)
        *slot.word = static_cast<uint16_t>(value);
    else
        *slot.byte = static_cast<uint8_t>(value);
    if (onEdited) onEdited();
}

void RegisterPanel::commitFlags() {
    if (filling) return;
    uint8_t f = 0;
    for (int bit = 0; bit < 8; bit++)
        if (flags[bit]->isChecked()) f = static_cast<uint8_t>(f | (1u << bit));
    cpu.AF = static_cast<uint16_t>((cpu.AF & 0xFF00) | f);
    if (onEdited) onEdited();
}

void RegisterPanel::commitInterrupts() {
    if (filling) return;
    cpu.IFF1 = iff1->isChecked() ? 1 : 0;
    cpu.IFF2 = iff2->isChecked() ? 1 : 0;
    cpu.IM = static_cast<uint8_t>(im->value());
    if (onEdited) onEdited();
}
