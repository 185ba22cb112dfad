// The keyboard map in the help panel: the host keyboard's rows, each key
// showing what the ABC80's key at that place types, plain and with Shift
// (what "Keys: by position" gives). It is read from the machine's own key
// table, so it is the map the machine uses.

// Host keys by place, by their browser names (KeyboardEvent.code), in the
// rows of a keyboard (the key left of 1, the digits, the letter rows, the
// punctuation beside them); the physical key table the desktop shares gives
// the ABC80 key at each place.
const letters = (row) => row.split("").map((c) => "Key" + c);
const Rows = [
  ["Backquote", ..."1234567890".split("").map((c) => "Digit" + c), "Minus", "Equal"],
  [...letters("QWERTYUIOP"), "BracketLeft", "BracketRight"],
  [...letters("ASDFGHJKL"), "Semicolon", "Quote", "Backslash"],
  ["IntlBackslash", ...letters("ZXCVBNM"), "Comma", "Period", "Slash"],
];

// The character a machine code shows as: the one the paste conversion types
// as that code, among printable ASCII and the Swedish letters.
function characterOf(machine, code) {
  for (const c of "ÉÄÖÅÜéäöåü") if (machine.machineCode(c.codePointAt(0)) === code) return c;
  return code >= 0x20 && code < 0x7f ? String.fromCharCode(code) : "";
}

export function fillKeyboardMap(table, machine) {
  table.replaceChildren();
  const physical = machine.physicalKeys();
  for (const row of Rows) {
    const tr = document.createElement("tr");
    for (const code of row) {
      const td = document.createElement("td");
      const chars = physical[code] !== undefined ? machine.keyChars(physical[code]) : null;
      if (chars) {
        const shifted = document.createElement("small");
        shifted.textContent = characterOf(machine, chars.shifted);
        const plain = document.createElement("span");
        plain.textContent = characterOf(machine, chars.plain);
        td.append(shifted, plain);
      }
      tr.append(td);
    }
    table.append(tr);
  }
}
