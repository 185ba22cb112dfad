// The keyboard map in the help panel: the host keyboard's rows, each key
// showing what the ABC80's key at that place types, plain and with Shift
// (what "Keys: by position" gives). It is read from the machine's own key
// table, so it is the map the machine uses.

// Host keys by place, as Windows virtual-key codes, in the rows of a
// keyboard (the key left of 1, the digits, the letter rows, the punctuation
// beside them).
const Rows = [
  [0xc0, ..."1234567890".split("").map((c) => c.charCodeAt(0)), 0xbd, 0xbb],
  [..."QWERTYUIOP".split("").map((c) => c.charCodeAt(0)), 0xdb, 0xdd],
  [..."ASDFGHJKL".split("").map((c) => c.charCodeAt(0)), 0xba, 0xde, 0xdc],
  [..."ZXCVBNM".split("").map((c) => c.charCodeAt(0)), 0xbc, 0xbe, 0xbf],
];

// The character a machine code shows as: the one the paste conversion types
// as that code, among printable ASCII and the Swedish letters.
function characterOf(machine, code) {
  for (const c of "ÉÄÖÅÜéäöåü") if (machine.machineCode(c.codePointAt(0)) === code) return c;
  return code >= 0x20 && code < 0x7f ? String.fromCharCode(code) : "";
}

export function fillKeyboardMap(table, machine) {
  table.replaceChildren();
  for (const row of Rows) {
    const tr = document.createElement("tr");
    for (const vk of row) {
      const td = document.createElement("td");
      const chars = machine.keyChars(vk);
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
