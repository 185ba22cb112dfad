// Little-endian byte writing and bounds-checked reading for save states.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

class StateWriter {
  public:
    explicit StateWriter(std::vector<uint8_t>& out) : out(out) {}
    void u8(uint8_t v) { out.push_back(v); }
    void u16(uint16_t v) { le(v, 2); }
    void u32(uint32_t v) { le(v, 4); }
    void u64(uint64_t v) { le(v, 8); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void i64(int64_t v) { u64(static_cast<uint64_t>(v)); }
    void f64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u64(bits);
    }
    void bytes(const uint8_t* data, size_t n) { out.insert(out.end(), data, data + n); }
    void text(const std::string& s) {
        u32(static_cast<uint32_t>(s.size()));
        bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
    size_t size() const { return out.size(); }
    // Overwrites four bytes already written.
    void patch32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++)
            out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

  private:
    void le(uint64_t v, int n) {
        for (int i = 0; i < n; i++)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t>& out;
};

// Reads past the end give zeros and set failed(); a decoder checks it once.
class StateReader {
  public:
    explicit StateReader(std::span<const uint8_t> in) : in(in) {}
    uint8_t u8() { return static_cast<uint8_t>(le(1)); }
    uint16_t u16() { return static_cast<uint16_t>(le(2)); }
    uint32_t u32() { return static_cast<uint32_t>(le(4)); }
    uint64_t u64() { return le(8); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    int64_t i64() { return static_cast<int64_t>(u64()); }
    double f64() {
        uint64_t bits = u64();
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    void bytes(uint8_t* data, size_t n) {
        if (!take(n)) {
            std::memset(data, 0, n);
            return;
        }
        std::memcpy(data, in.data() + at - n, n);
    }
    // A text of at most `limit` bytes.
    std::string text(size_t limit) {
        uint32_t n = u32();
        if (n > limit || !take(n)) {
            bad = true;
            return {};
        }
        return std::string(reinterpret_cast<const char*>(in.data() + at - n), n);
    }
    std::span<const uint8_t> span(size_t n) {
        if (!take(n)) return {};
        return in.subspan(at - n, n);
    }
    bool failed() const { return bad; }
    void fail() { bad = true; }
    size_t left() const { return in.size() - at; }

  private:
    bool take(size_t n) {
        if (bad || n > in.size() - at) {
            bad = true;
            return false;
        }
        at += n;
        return true;
    }
    uint64_t le(int n) {
        if (!take(static_cast<size_t>(n))) return 0;
        uint64_t v = 0;
        for (int i = 0; i < n; i++)
            v |= uint64_t{in[at - n + i]} << (8 * i);
        return v;
    }
    std::span<const uint8_t> in;
    size_t at = 0;
    bool bad = false;
};

// The two directions a field list runs in. A section names each saved field
// once, with its width in the file, in one function templated on the
// direction: saving runs it with StateOut, loading with StateIn.
//
//   template <class Io> void fields(Io& io, Thing& t) { io.u8(t.flag); io.u32(t.count); }
class StateOut {
  public:
    static constexpr bool Loading = false;
    explicit StateOut(StateWriter& w) : w(w) {}
    template <class T> void u8(const T& v) { w.u8(static_cast<uint8_t>(v)); }
    template <class T> void u16(const T& v) { w.u16(static_cast<uint16_t>(v)); }
    template <class T> void u32(const T& v) { w.u32(static_cast<uint32_t>(v)); }
    template <class T> void u64(const T& v) { w.u64(static_cast<uint64_t>(v)); }
    void f64(const double& v) { w.f64(v); }
    void text(const std::string& s, size_t) { w.text(s); }
    void bytes(const void* data, size_t n) { w.bytes(static_cast<const uint8_t*>(data), n); }

  private:
    StateWriter& w;
};

class StateIn {
  public:
    static constexpr bool Loading = true;
    explicit StateIn(StateReader& r) : r(r) {}
    template <class T> void u8(T& v) { v = static_cast<T>(r.u8()); }
    template <class T> void u16(T& v) { v = static_cast<T>(r.u16()); }
    template <class T> void u32(T& v) { v = static_cast<T>(r.u32()); }
    template <class T> void u64(T& v) { v = static_cast<T>(r.u64()); }
    void f64(double& v) { v = r.f64(); }
    void text(std::string& s, size_t limit) { s = r.text(limit); }
    void bytes(void* data, size_t n) { r.bytes(static_cast<uint8_t*>(data), n); }

  private:
    StateReader& r;
};

// Copies the fields a field list names from one object to another, leaving
// the rest of the target (open files, host settings) as it is.
template <class T, class Fields> void copySavedFields(T& to, const T& from, Fields fields) {
    std::vector<uint8_t> bytes;
    StateWriter w(bytes);
    StateOut out(w);
    fields(out, const_cast<T&>(from));
    StateReader r(bytes);
    StateIn in(r);
    fields(in, to);
}
