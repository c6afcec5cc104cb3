#pragma once
// Small set of enumeration values (font styles, shift state, grid options, ...).
#include <cstdint>
#include <initializer_list>

template <class E>
class Set {
 public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  Set& operator<<(E e) { bits_ |= Bit(e); return *this; }
  Set& operator>>(E e) { bits_ &= ~Bit(e); return *this; }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  void Clear() { bits_ = 0; }
  friend constexpr Set operator+(Set a, Set b) { a.bits_ |= b.bits_; return a; }
  friend constexpr Set operator*(Set a, Set b) { a.bits_ &= b.bits_; return a; }
  friend constexpr Set operator-(Set a, Set b) { a.bits_ &= ~b.bits_; return a; }
  friend constexpr bool operator==(Set a, Set b) { return a.bits_ == b.bits_; }

 private:
  static constexpr uint64_t Bit(E e) { return uint64_t(1) << static_cast<unsigned>(e); }
  uint64_t bits_ = 0;
};
