// The four drives DR0-DR3 on the page: a row each in the More menu with the
// image's name, Attach… and Eject, the names on the status line, and Save
// disks. A dropped or opened image goes to the first empty drive; with all
// four in use it is refused rather than put in place of one.
import { download } from "./files.js";

export const DriveCount = 4;

export function createDrives(machine, { show, done }) {
  const $ = (id) => document.getElementById(id);
  const fieldset = $("drives");
  const input = $("disk-input");
  let target = 0; // the drive Attach… was pressed for
  const rows = [];

  for (let d = 0; d < DriveCount; d++) {
    const label = document.createElement("span");
    label.textContent = `DR${d}:`;
    const name = document.createElement("span");
    name.className = "name";
    const attach = document.createElement("button");
    attach.textContent = "Attach…";
    attach.id = `attach-dr${d}`;
    const eject = document.createElement("button");
    eject.textContent = "Eject";
    eject.id = `eject-dr${d}`;
    attach.addEventListener("click", () => {
      target = d;
      input.click();
    });
    eject.addEventListener("click", () => {
      const was = machine.diskName(d);
      machine.detachDisk(d);
      showDrives();
      show(was ? `${was} ejected from DR${d}.` : `DR${d} is empty.`);
      done();
    });
    fieldset.append(label, name, attach, eject);
    rows.push({ name, eject });
  }

  function showDrives() {
    const names = [];
    for (let d = 0; d < DriveCount; d++) {
      const n = machine.diskName(d);
      rows[d].name.textContent = n || "empty";
      rows[d].eject.disabled = !n;
      if (n) names.push(`DR${d}: ${n}`);
    }
    $("status-disks").textContent = names.join("  ");
    $("save-disks").hidden = names.length === 0;
  }

  // Attaches bytes to drive (null: the first empty one). True when attached.
  function attach(drive, name, bytes) {
    if (drive === null) {
      drive = machine.freeDrive();
      if (machine.diskName(drive)) {
        show(`Cannot attach ${name}: all four drives hold a disk; eject one first (More, Disks).`);
        done();
        return false;
      }
    }
    const ok = machine.attachDisk(drive, name, bytes);
    show(machine.message());
    showDrives();
    done();
    return ok;
  }

  input.addEventListener("change", async () => {
    const file = input.files[0];
    input.value = "";
    if (file) attach(target, file.name, new Uint8Array(await file.arrayBuffer()));
  });

  $("save-disks").addEventListener("click", () => {
    for (let d = 0; d < DriveCount; d++) {
      const bytes = machine.diskImage(d);
      if (bytes) download(machine.diskName(d), bytes);
    }
    show("Disk images saved.");
  });

  return { attach, show: showDrives };
}
