#pragma once
// The bit stream and the Huffman trees of Smacker video files.
//
// Bits are packed from the lowest bit of each byte up. A tree is written in
// pre-order: 1 for a node, followed by its 0 branch and then its 1 branch; 0
// for a leaf, followed by the leaf's value. A code is read from the root down.
//
// The video uses four 16-bit trees ("big" trees). Each is written as: a
// present bit (1); the tree of the low bytes and the tree of the high bytes of
// its leaves (each an 8-bit tree: present bit 1, the tree with 8-bit leaves,
// an end bit 0); three 16-bit escape values; the 16-bit tree, whose leaves are
// a low-byte code then a high-byte code; an end bit 0. A leaf equal to an
// escape value would stand for a recently decoded value instead of itself, so
// the escape values are always chosen among values no leaf has.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class SmackerBitWriter {
 public:
  void Bit(bool value);
  // count bits of value, the lowest first.
  void Bits(uint32_t value, int count);
  size_t BitCount() const { return bitCount_; }
  // The bytes so far, the last one padded with zero bits.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t bitCount_ = 0;
};

// The longest code any tree gets: the decoder's tables and recursion limits
// are comfortable with it, and 2^16 codes cover every 16-bit value.
inline constexpr int kSmackerMaxCodeLength = 16;

// A complete prefix code for the symbols counted, shaped by their counts
// (Huffman, flattened until no code is longer than kSmackerMaxCodeLength).
class SmackerHuffman {
 public:
  // counts: symbol -> occurrences; at least two symbols, at most 65536.
  explicit SmackerHuffman(const std::map<uint32_t, uint64_t>& counts);

  void WriteCode(SmackerBitWriter* bits, uint32_t symbol) const;
  // The tree, each leaf's value written by writeLeaf.
  template <typename LeafWriter>
  void WriteTree(SmackerBitWriter* bits, LeafWriter writeLeaf) const {
    WriteNode(bits, 0, entries_.size(), 0, writeLeaf);
  }
  size_t LeafCount() const { return entries_.size(); }
  int CodeLength(uint32_t symbol) const { return entries_[slot_.at(symbol)].length; }

 private:
  struct Entry {
    uint32_t symbol;
    int length;
    uint32_t code;  // the path from the root, most significant bit first
  };
  template <typename LeafWriter>
  void WriteNode(SmackerBitWriter* bits, size_t begin, size_t end, int depth, LeafWriter& writeLeaf) const {
    if (end - begin == 1 && entries_[begin].length == depth) {
      bits->Bit(false);
      writeLeaf(entries_[begin].symbol);
      return;
    }
    bits->Bit(true);
    // Entries are in code order, so the 0 branch is a leading run.
    size_t middle = begin;
    while (middle < end && !BranchBit(entries_[middle], depth)) ++middle;
    WriteNode(bits, begin, middle, depth + 1, writeLeaf);
    WriteNode(bits, middle, end, depth + 1, writeLeaf);
  }
  static bool BranchBit(const Entry& e, int depth) { return (e.code >> (e.length - 1 - depth)) & 1; }

  std::vector<Entry> entries_;       // in code order
  std::map<uint32_t, size_t> slot_;  // symbol -> entry
};

// One of the video's four 16-bit trees (MMAP, MCLR, FULL, TYPE).
class SmackerBigTree {
 public:
  // counts: 16-bit value -> occurrences in the video (may be empty). Unused
  // values are added until there are two leaves. False when the values leave
  // no room for the three escapes (more than 65533 distinct ones).
  bool Build(const std::map<uint32_t, uint64_t>& counts, std::string* error);
  void Write(SmackerBitWriter* bits) const;
  void WriteCode(SmackerBitWriter* bits, uint16_t value) const { tree_->WriteCode(bits, value); }
  // The header's size for this tree: the bytes the decoder keeps for its
  // nodes, leaves and the three recent values.
  uint32_t StoredSize() const;

 private:
  std::optional<SmackerHuffman> tree_, lowBytes_, highBytes_;
  uint16_t escapes_[3] = {};
};
