// The history: a ring of snapshots at frame boundaries, the log of inputs
// from outside since the oldest of them, and the replay that runs the machine
// from a snapshot to an instruction boundary again.
//
// Replaying runs the frame driver the way the front end does (the timing
// mode of cycleBasedFrames, a pending frame in its own mode) with a stop
// handler of its own in place of the debug layer's: it sees every
// instruction boundary, stops at the first one at or after a T-state, and
// notes what the search at hand needs (boundaries, breakpoint hits, writes).
#include "abc80/history.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <vector>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"
#include "sound/mixer.h"

namespace {

struct Snapshot {
    std::vector<uint8_t> state;
    FrameProgress frame; // a snapshot taken at a stop inside a frame
    uint64_t tcount = 0;
    uint32_t number = 0; // the frame counter
    uint64_t input = 0;  // sequence number of the first input after it
    uint64_t disk = 0;   // and of the first disk transfer
};

enum class InputKind : uint8_t { Press, Release, Type };

struct Input {
    uint64_t tcount = 0;
    InputKind kind = InputKind::Press;
    uint32_t vk = 0;
    std::string text;
};

struct DiskTransfer {
    bool write = false;
    bool ok = false;
    int error = 0;
    std::array<uint8_t, SectorBytes> sector{};
};

// A log whose entries are numbered from the start of the history: base is
// the number of the first one still kept.
template <class T> struct Log {
    std::deque<T> entries;
    uint64_t base = 0;
    uint64_t end() const { return base + entries.size(); }
    const T& at(uint64_t n) const { return entries[static_cast<size_t>(n - base)]; }
    void dropBefore(uint64_t n) {
        while (base < n && !entries.empty()) {
            entries.pop_front();
            ++base;
        }
    }
    void dropFrom(uint64_t n) {
        while (end() > n && !entries.empty())
            entries.pop_back();
    }
};

struct History {
    HistorySettings settings;
    bool enabled = true;
    std::deque<Snapshot> ring;
    Log<Input> inputs;
    Log<DiskTransfer> disk;
    uint32_t framesSinceSnapshot = 0;
    std::vector<uint8_t> spare;   // a dropped snapshot's buffer, for the next one
    std::vector<uint8_t> scratch; // where a snapshot is saved first
};
History h;

// ---------------------------------------------------------------- replay

// What a replay does besides running.
struct Replay {
    bool on = false;
    uint64_t stopAt = 0;
    uint64_t nextInput = 0;
    uint64_t nextDisk = 0;
    bool diskShort = false; // the log ran out: the images answered
    // The instruction under way (for writes) and the searches.
    uint16_t ip = 0;
    uint64_t tcount = 0;
    std::vector<uint64_t>* boundaries = nullptr;
    std::vector<uint64_t>* breakpointHits = nullptr;
    std::vector<HistoryWrite>* writes = nullptr;
    uint16_t watched = 0;
    MemWriteHandler watchedHandler = nullptr;
};
Replay r;

bool executionBreakpointHolds(uint16_t ip) {
    for (const DebugBreakpoint& b : debugBreakpoints())
        if ((b.kinds & WatchExecute) && ip >= b.from && ip <= b.to &&
            debugConditionHolds(b.condition))
            return true;
    return false;
}

// Before an instruction: where it starts (for the writes it makes) and
// whether a breakpoint holds there. After it: a boundary, and the stop.
int replayStop(int when, uint16_t ip) {
    if (when == StopBeforeInstruction) {
        r.ip = ip;
        r.tcount = cpu.TCOUNT;
        if (r.breakpointHits && (WatchFlags[ip] & WatchExecute) && executionBreakpointHolds(ip))
            r.breakpointHits->push_back(cpu.TCOUNT);
        return 0;
    }
    if (r.boundaries) r.boundaries->push_back(cpu.TCOUNT);
    return cpu.TCOUNT >= r.stopAt ? 1 : 0;
}

void replayWrite(uint16_t address, uint8_t value) {
    const uint8_t before = cpuBus.read(address);
    r.watchedHandler(address, value);
    r.writes->push_back({r.ip, r.tcount, before, cpuBus.read(address)});
}

void feed(const Input& in) {
    switch (in.kind) {
    case InputKind::Press: keyPressed(in.vk); break;
    case InputKind::Release: keyReleased(in.vk); break;
    case InputKind::Type: typeText(in.text.c_str()); break;
    }
}

uint64_t nextInputTime() {
    return r.nextInput < h.inputs.end() ? h.inputs.at(r.nextInput).tcount
                                        : std::numeric_limits<uint64_t>::max();
}

void runFrameOrRest() {
    if (fastFramePending())
        runFrameFast();
    else if (framePending() || cycleBasedFrames)
        runFrame(CyclesPerFrame, nullptr, 0);
    else
        runFrameFast();
}

constexpr uint64_t NoFrame = std::numeric_limits<uint64_t>::max();
constexpr uint64_t NoTime = std::numeric_limits<uint64_t>::max();

enum class Ran { Done, Diverged, Failed };

// Where a replay ends. One T-state can be two moments: the machine stopped
// after the instruction that used up a frame (the frame still pending, as a
// step leaves it) and the frame completed. inFrame picks the first: the
// replay stops after the instruction ending at tcount. Otherwise it runs
// until a frame ends at tcount, or until frame `frame` starts.
struct Target {
    uint64_t tcount = NoTime;
    bool inFrame = true;
    uint64_t frame = NoFrame;
};

// What the machine must look like where a replay ends: the state bytes, and
// whether the inputs logged at that very T-state have come in yet (a
// snapshot is taken before them, the machine the user sees after them).
struct Expect {
    const std::vector<uint8_t>* state = nullptr;
    bool beforeInputs = false;
};

bool reached(const Target& t) {
    if (!framePending() && frameCounter >= t.frame) return true;
    if (cpu.TCOUNT < t.tcount) return false;
    return t.inFrame || !framePending();
}

// Restores snapshot `index` and runs on to the target. With an expected
// state, Diverged says the machine ended elsewhere: something the log does
// not hold changed it on the way. The searches set in r are filled on the
// way.
Ran replayFrom(size_t index, const Target& target, Expect expect = {}) {
    const Snapshot& s = h.ring[index];
    std::string message;
    const uint32_t everyStep = cpu.breakRequest & BreakEveryStep;
    r.on = true;
    if (!loadState(s.state, message)) {
        r.on = false;
        return Ran::Failed;
    }
    setFrameProgress(s.frame);
    r.nextInput = s.input;
    r.nextDisk = s.disk;
    r.diskShort = false;
    r.ip = cpu.IP;
    r.tcount = cpu.TCOUNT;
    const CpuBus saved = cpuBus;
    CpuBus replaying = saved;
    replaying.stop = replayStop;
    cpuConnect(replaying);
    cpu.breakRequest |= BreakEveryStep;
    if (r.writes) {
        r.watchedHandler = WriteHandlers[r.watched];
        WriteHandlers[r.watched] = replayWrite;
    }
    const int muted = SoundMuted();
    SetSoundMuted(1);
    // A target between frames is never stopped at: its frame runs to its end.
    const uint64_t stopAt =
        target.inFrame || target.tcount == NoTime ? target.tcount : target.tcount + 1;
    for (;;) {
        const bool atTarget = reached(target);
        if (!(atTarget && expect.state && expect.beforeInputs))
            while (nextInputTime() <= cpu.TCOUNT)
                feed(h.inputs.at(r.nextInput++));
        if (atTarget) break;
        r.stopAt = std::min(stopAt, nextInputTime());
        runFrameOrRest();
    }
    if (r.writes) WriteHandlers[r.watched] = r.watchedHandler;
    cpuConnect(saved);
    cpu.breakRequest = (cpu.breakRequest & ~BreakEveryStep) | everyStep;
    Ran ran = Ran::Done;
    if (expect.state) {
        std::vector<uint8_t> state;
        saveState(state);
        if (state != *expect.state) ran = Ran::Diverged;
    }
    SetSoundMuted(muted);
    FollowRestoredProcessor();
    r.on = false;
    return ran;
}

// The machine as the user left it, to come back to after a search that
// found nothing.
struct Moment {
    std::vector<uint8_t> state;
    FrameProgress frame;
    uint32_t breakRequest = 0;
};

Moment here() {
    Moment m;
    saveState(m.state);
    m.frame = frameProgress();
    m.breakRequest = cpu.breakRequest;
    return m;
}

void backTo(const Moment& m) {
    std::string message;
    r.on = true; // not a change from outside
    loadState(m.state, message);
    r.on = false;
    setFrameProgress(m.frame);
    cpu.breakRequest = m.breakRequest;
    FollowRestoredProcessor();
}

// Replays segment `index` (to the next snapshot, or to the moment m for the
// newest) and checks that it ends where it did the first time.
Ran replaySegment(size_t index, const Moment& m) {
    if (index + 1 < h.ring.size()) {
        const Snapshot& next = h.ring[index + 1];
        return replayFrom(index, {next.tcount, next.frame.cyclePending || next.frame.fastPending},
                          {&next.state, true});
    }
    return replayFrom(index, {cpu.TCOUNT, m.frame.cyclePending || m.frame.fastPending},
                      {&m.state, false});
}

// The machine left at a jump's target: the future after it is forgotten
// and the debug layer holds at the boundary.
void landed(size_t index) {
    while (h.ring.size() > index + 1)
        h.ring.pop_back();
    h.inputs.dropFrom(r.nextInput);
    h.disk.dropFrom(r.nextDisk);
    h.framesSinceSnapshot = frameCounter - h.ring.back().number;
    debugHoldHere();
}

// A segment that did not run again as it first ran: the snapshots up to it
// are forgotten (the history reaches back only to the change).
void forgetThrough(size_t index) {
    for (size_t i = 0; i <= index && !h.ring.empty(); ++i)
        h.ring.pop_front();
    if (h.ring.empty()) return;
    h.inputs.dropBefore(h.ring.front().input);
    h.disk.dropBefore(h.ring.front().disk);
}

constexpr const char* Changed =
    "The machine was changed from outside since; the history reaches back only to then.";

// The newest snapshot taken strictly before T-state t; -1 when none is.
int snapshotBefore(uint64_t t) {
    for (size_t i = h.ring.size(); i-- > 0;)
        if (h.ring[i].tcount < t) return static_cast<int>(i);
    return -1;
}

bool deckRecording() { return tapeDeck.file && !TapeInserted(); }

// Whether a jump may start; the reason otherwise.
bool canGoBack(std::string& message) {
    if (!h.enabled) {
        message = "No history is kept.";
        return false;
    }
    if (deckRecording()) {
        message = "The deck is recording a tape: eject it before going back.";
        return false;
    }
    if (snapshotBefore(cpu.TCOUNT) < 0) {
        message = h.ring.empty() ? "Nothing recorded yet: the history starts at the next frame."
                                 : "Not recorded that far back.";
        return false;
    }
    return true;
}

void sayLanded(std::string& message, const char* what) {
    char line[120];
    std::snprintf(line, sizeof line, "%s %04Xh at T-state %llu (frame %u).", what, cpu.IP,
                  static_cast<unsigned long long>(cpu.TCOUNT), frameCounter);
    message = line;
}

// ---------------------------------------------------------------- logging

bool logging() { return h.enabled && !r.on && !h.ring.empty(); }

void logInput(InputKind kind, uint32_t vk, const char* text) {
    if (!logging()) return;
    h.inputs.entries.push_back({cpu.TCOUNT, kind, vk, text ? text : ""});
}

void logPressed(uint32_t vk) { logInput(InputKind::Press, vk, nullptr); }
void logReleased(uint32_t vk) { logInput(InputKind::Release, vk, nullptr); }
void logTyped(const char* text) { logInput(InputKind::Type, 0, text); }

const KeyboardInputLog KeyboardLog = {logPressed, logReleased, logTyped};

void logRead(const uint8_t* sector, bool ok) {
    if (!logging()) return;
    DiskTransfer t;
    t.ok = ok;
    std::memcpy(t.sector.data(), sector, SectorBytes);
    h.disk.entries.push_back(t);
}

void logWritten(int error) {
    if (!logging()) return;
    DiskTransfer t;
    t.write = true;
    t.error = error;
    h.disk.entries.push_back(t);
}

// While replaying, the log answers for the images as long as it holds the
// transfer asked for (a write answered by a read's entry, or the log's end,
// means the run went its own way: the images answer from then on).
bool replayRead(uint8_t* sector, bool& ok) {
    if (!r.on || r.diskShort) return false;
    if (r.nextDisk >= h.disk.end() || h.disk.at(r.nextDisk).write) {
        r.diskShort = true;
        return false;
    }
    const DiskTransfer& t = h.disk.at(r.nextDisk++);
    std::memcpy(sector, t.sector.data(), SectorBytes);
    ok = t.ok;
    return true;
}

bool replayWritten(int& error) {
    if (!r.on || r.diskShort) return false;
    if (r.nextDisk >= h.disk.end() || !h.disk.at(r.nextDisk).write) {
        r.diskShort = true;
        return false;
    }
    error = h.disk.at(r.nextDisk++).error;
    return true;
}

const DiskTransferLog DiskLog = {logRead, logWritten, replayRead, replayWritten};

void connectLogs() {
    keyboardSetInputLog(&KeyboardLog);
    SetDiskTransferLog(&DiskLog);
}

bool monitorWhoWrote(uint16_t address, std::string& message) {
    HistoryWrite write;
    return historyWhoWrote(address, write, message);
}

const MonitorHistory MonitorLink = {historyStepBack, historyBackToBreakpoint, historyBackFrames,
                                    monitorWhoWrote, historyMachineChanged};

void takeSnapshot() {
    Snapshot s;
    // Saved into a buffer kept for it, then copied at its own size: a state
    // written straight into a new vector would take twice its memory.
    saveState(h.scratch);
    s.state.swap(h.spare);
    s.state.assign(h.scratch.begin(), h.scratch.end());
    s.frame = frameProgress();
    s.tcount = cpu.TCOUNT;
    s.number = frameCounter;
    s.input = h.inputs.end();
    s.disk = h.disk.end();
    h.ring.push_back(std::move(s));
    while (h.ring.size() > h.settings.snapshots) {
        h.spare.swap(h.ring.front().state);
        h.ring.pop_front();
    }
    h.inputs.dropBefore(h.ring.front().input);
    h.disk.dropBefore(h.ring.front().disk);
    h.framesSinceSnapshot = 0;
}

// A replay that did not reach its end: the machine goes back to where it
// was. One that met a change from outside drops the history up to it (all of
// it when the change is in the newest stretch).
void giveUpReplay(Ran ran, size_t i, const Moment& m, std::string& message) {
    backTo(m);
    if (ran != Ran::Diverged) {
        message = "The recorded history could not be run again.";
        return;
    }
    if (i + 1 >= h.ring.size())
        historyMachineChanged();
    else
        forgetThrough(i);
    message = Changed;
}

} // namespace

void historyConnect() {
    connectLogs();
    monitorSetHistory(&MonitorLink);
}

void historyConfigure(const HistorySettings& settings) {
    h.settings.intervalFrames = settings.intervalFrames ? settings.intervalFrames : 1;
    h.settings.snapshots = settings.snapshots ? settings.snapshots : 1;
    historyClear();
}

HistorySettings historySettings() { return h.settings; }

void historySetEnabled(bool on) {
    h.enabled = on;
    historyClear();
}

bool historyEnabled() { return h.enabled; }

void historyClear() {
    h.ring.clear();
    h.inputs = {};
    h.disk = {};
    h.spare.clear();
    h.spare.shrink_to_fit();
    h.framesSinceSnapshot = 0;
}

void historyFrameEnd() {
    if (!h.enabled || r.on) return;
    connectLogs();
    if (h.ring.empty() || ++h.framesSinceSnapshot >= h.settings.intervalFrames) takeSnapshot();
}

void historyMachineChanged() {
    if (r.on) return;
    historyClear();
    if (!h.enabled) return;
    connectLogs();
    takeSnapshot();
}

HistoryReach historyReach() {
    HistoryReach reach;
    reach.snapshots = h.ring.size();
    for (const Snapshot& s : h.ring)
        reach.bytes += s.state.capacity() + sizeof s;
    reach.bytes += h.spare.capacity() + h.scratch.capacity();
    reach.inputs = h.inputs.entries.size();
    for (const Input& in : h.inputs.entries)
        reach.bytes += sizeof in + (in.text.size() > 15 ? in.text.capacity() : 0);
    reach.bytes += h.disk.entries.size() * sizeof(DiskTransfer);
    if (!h.ring.empty()) {
        reach.oldestFrame = h.ring.front().number;
        reach.oldestTcount = h.ring.front().tcount;
    }
    return reach;
}

bool historyStepBack(std::string& message) {
    if (!canGoBack(message)) return false;
    const uint64_t now = cpu.TCOUNT;
    const Moment m = here();
    // The newest stretch holds the boundary before now, unless now is its
    // first instruction's end: then the stretch before it does.
    for (int index = snapshotBefore(now); index >= 0; --index) {
        const size_t i = static_cast<size_t>(index);
        std::vector<uint64_t> boundaries;
        r.boundaries = &boundaries;
        const Ran ran = replaySegment(i, m);
        r.boundaries = nullptr;
        if (ran != Ran::Done) {
            giveUpReplay(ran, i, m, message);
            return false;
        }
        while (!boundaries.empty() && boundaries.back() >= now)
            boundaries.pop_back();
        // The oldest snapshot's own moment is the last boundary there is.
        if (boundaries.empty() && i == 0) boundaries.push_back(h.ring[0].tcount);
        if (boundaries.empty()) continue;
        replayFrom(i, {boundaries.back(), true});
        landed(i);
        sayLanded(message, "Back to");
        return true;
    }
    backTo(m);
    message = "Not recorded that far back.";
    return false;
}

namespace {

// Searches the segments from the newest backwards for the latest moment
// before now that `found` picks from a segment's replay, and goes there.
template <class Arm, class Latest>
bool searchBack(std::string& message, Arm arm, Latest latest, const char* none) {
    if (!canGoBack(message)) return false;
    const uint64_t now = cpu.TCOUNT;
    const Moment m = here();
    for (int index = snapshotBefore(now); index >= 0; --index) {
        const size_t i = static_cast<size_t>(index);
        arm(true);
        const Ran ran = replaySegment(i, m);
        arm(false);
        if (ran == Ran::Diverged) {
            giveUpReplay(ran, i, m, message);
            message.insert(0, std::string(none) + " ");
            return false;
        }
        if (ran != Ran::Done) break;
        uint64_t at = 0;
        if (!latest(now, at)) continue;
        replayFrom(i, {at, true});
        landed(i);
        return true;
    }
    backTo(m);
    message = none;
    return false;
}

} // namespace

bool historyBackToBreakpoint(std::string& message) {
    if (debugBreakpoints().empty()) {
        message = "No breakpoints set.";
        return false;
    }
    std::vector<uint64_t> hits;
    const bool went = searchBack(
        message, [&](bool on) { r.breakpointHits = on ? (hits.clear(), &hits) : nullptr; },
        [&](uint64_t now, uint64_t& at) {
            while (!hits.empty() && hits.back() >= now)
                hits.pop_back();
            if (hits.empty()) return false;
            at = hits.back();
            return true;
        },
        "No breakpoint was reached in the recorded history.");
    if (went) sayLanded(message, "Breakpoint at");
    return went;
}

bool historyWhoWrote(uint16_t address, HistoryWrite& write, std::string& message) {
    std::vector<HistoryWrite> writes;
    char none[80];
    std::snprintf(none, sizeof none, "No write to %04Xh in the recorded history.", address);
    const bool went = searchBack(
        message,
        [&](bool on) {
            r.watched = address;
            r.writes = on ? (writes.clear(), &writes) : nullptr;
        },
        [&](uint64_t now, uint64_t& at) {
            while (!writes.empty() && writes.back().tcount >= now)
                writes.pop_back();
            if (writes.empty()) return false;
            write = writes.back();
            at = write.tcount;
            return true;
        },
        none);
    if (!went) return false;
    char line[160];
    std::snprintf(line, sizeof line,
                  "%04Xh was written by the instruction at %04Xh at T-state %llu (%02Xh to %02Xh); "
                  "stopped before it.",
                  address, write.ip, static_cast<unsigned long long>(write.tcount), write.before,
                  write.after);
    message = line;
    return true;
}

bool historyBackFrames(uint32_t frames, std::string& message) {
    if (!framePending() && frames == 0) {
        sayLanded(message, "At");
        return true;
    }
    if (!canGoBack(message)) return false;
    if (frames > frameCounter) {
        message = "Not recorded that far back.";
        return false;
    }
    const uint32_t target = frameCounter - frames;
    int index = -1;
    for (size_t i = h.ring.size(); i-- > 0;)
        if (h.ring[i].number <= target && h.ring[i].tcount < cpu.TCOUNT) {
            index = static_cast<int>(i);
            break;
        }
    if (index < 0) {
        message = "Not recorded that far back.";
        return false;
    }
    const size_t i = static_cast<size_t>(index);
    const Moment m = here();
    const Ran ran = replaySegment(i, m);
    if (ran != Ran::Done) {
        giveUpReplay(ran, i, m, message);
        return false;
    }
    replayFrom(i, {NoTime, false, target});
    landed(i);
    sayLanded(message, "Back to the frame start,");
    return true;
}

bool historyRewindStep() {
    if (!h.enabled || deckRecording()) return false;
    const int index = snapshotBefore(cpu.TCOUNT);
    if (index < 0) return false;
    const Snapshot& s = h.ring[static_cast<size_t>(index)];
    std::string message;
    r.on = true;
    const bool loaded = loadState(s.state, message);
    r.on = false;
    if (!loaded) return false;
    setFrameProgress(s.frame);
    FollowRestoredProcessor();
    r.nextInput = s.input;
    r.nextDisk = s.disk;
    landed(static_cast<size_t>(index));
    return true;
}
