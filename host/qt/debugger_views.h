// The debugger window's views of the machine: the disassembly (with
// symbols, breakpoint marks and the program counter), the memory (hex and
// characters, ROM greyed and read-only) and the registers with flags,
// interrupt state and counters. Each view reads the machine when it is told
// to refresh; edits reach the machine only while the window allows them
// (the machine stopped).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QTableWidget>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// An address as the user types it: hexadecimal ("7C00", "7c00h", "$7C00",
// "0x7C00") or a symbol's name. False when it is neither.
bool ParseDebuggerAddress(const QString& text, uint16_t& address);
// The address an instruction's text refers to (a jump, call or load
// target, "rst 38h"), or -1.
int InstructionTarget(const QString& instruction);

// Disassembly from a start address, one instruction a row. Columns: the
// margin (breakpoint mark and the program counter), the label, the address,
// the bytes and the instruction with the symbol of its target.
class DisassemblyView : public QTableWidget {
  public:
    enum Column { MarginColumn, LabelColumn, AddressColumn, BytesColumn, InstructionColumn };
    static constexpr int Rows = 48;

    explicit DisassemblyView(QWidget* parent = nullptr);
    // Disassembles from address.
    void showFrom(uint16_t address);
    // Shows the program counter: in place when it is on a shown row, else
    // from a few instructions before it.
    void showAround(uint16_t pc);
    // Redraws the shown rows (memory, marks and symbols may have changed).
    void refresh();
    uint16_t firstAddress() const { return start; }
    // The address of a row, or -1 past the shown ones.
    int rowAddress(int row) const;
    int rowOf(uint16_t address) const; // -1 when not shown
    // The selected row's address (the "cursor"), or -1.
    int cursorAddress() const;
    void setCursorAddress(uint16_t address);

    // A click in the margin of a row.
    std::function<void(uint16_t address)> onMarginClicked;
    // A double click on an instruction with a target.
    std::function<void(uint16_t target)> onFollow;

  protected:
    // The wheel moves the disassembly by instructions: past the shown rows
    // on, or back from before the first.
    void wheelEvent(QWheelEvent* event) override;

  private:
    // The earliest address up to 12 bytes before address whose
    // instructions land exactly on it (address itself when none does).
    static uint16_t startBefore(uint16_t address);

    uint16_t start = 0;
    std::vector<uint16_t> addresses;
};

// The 64 KB as rows of 16 bytes: hex cells and a character column.
class MemoryModel : public QAbstractTableModel {
  public:
    static constexpr int BytesPerRow = 16;
    static constexpr int CharacterColumn = BytesPerRow;

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A hex cell takes one byte in hex; the character column takes text
    // written from the row's first byte on. ROM takes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Edits are taken only while this is set (the machine stopped).
    void setEditable(bool on) { editable = on; }
    // Everything shown again from memory.
    void reread();
    // Called after every edit that changed memory.
    std::function<void()> onEdited;

  private:
    bool editable = false;
};

// Registers, flags, interrupt state and counters.
class RegisterPanel : public QWidget {
  public:
    explicit RegisterPanel(QWidget* parent = nullptr);
    // Shows the machine's state; fields are editable when editable is set.
    void refresh(bool editable);
    // The field of a register ("AF", "PC", "AF'", "I", ...), or nullptr.
    QLineEdit* field(const QString& name) const;
    QCheckBox* flag(int bit) const { return flags[bit]; }
    QString countersText() const;
    // Called after the user changed a register (PC included).
    std::function<void()> onEdited;

  private:
    void commit(int index);
    void commitFlags();
    void commitInterrupts();

    std::vector<QLineEdit*> fields;
    QCheckBox* flags[8] = {};
    QCheckBox* iff1 = nullptr;
    QCheckBox* iff2 = nullptr;
    QSpinBox* im = nullptr;
    QLabel* halted = nullptr;
    QLabel* counters = nullptr;
    bool filling = false;
};
