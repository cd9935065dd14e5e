#include "tools/builder/smacker_trees.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <queue>

void SmackerBitWriter::Bit(bool value) {
  if (bitCount_ % 8 == 0) bytes_.push_back(0);
  if (value) bytes_.back() |= static_cast<uint8_t>(1u << (bitCount_ % 8));
  ++bitCount_;
}

void SmackerBitWriter::Bits(uint32_t value, int count) {
  for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
}

namespace {

// Huffman code lengths for weights (all > 0); while the longest is over the
// limit the weights are flattened and the codes built again. Equal weights
// give codes of at most ceil(log2(n)) bits, so this ends for n <= 2^limit.
std::vector<int> CodeLengths(std::vector<uint64_t> weights) {
  const size_t n = weights.size();
  for (;;) {
    // Leaves are 0..n-1; each merge makes the next node, so a parent always
    // has a higher number than its children and the root is the last.
    std::vector<size_t> parent(2 * n - 1, 0);
    using Item = std::pair<uint64_t, size_t>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    for (size_t i = 0; i < n; ++i) queue.push({weights[i], i});
    size_t next = n;
    while (queue.size() > 1) {
      const Item a = queue.top();
      queue.pop();
      const Item b = queue.top();
      queue.pop();
      parent[a.second] = parent[b.second] = next;
      queue.push({a.first + b.first, next++});
    }
    std::vector<int> depth(2 * n - 1, 0);
    for (size_t i = 2 * n - 1; i-- > 0;) {
      if (i != 2 * n - 2) depth[i] = depth[parent[i]] + 1;
    }
    std::vector<int> lengths(depth.begin(), depth.begin() + static_cast<ptrdiff_t>(n));
    if (*std::max_element(lengths.begin(), lengths.end()) <= kSmackerMaxCodeLength) return lengths;
    for (uint64_t& w : weights) w = (w >> 1) | 1;
  }
}

}  // namespace

SmackerHuffman::SmackerHuffman(const std::map<uint32_t, uint64_t>& counts) {
  assert(counts.size() >= 2 && counts.size() <= (size_t{1} << kSmackerMaxCodeLength));
  std::vector<uint64_t> weights;
  for (const auto& [symbol, count] : counts) {
    weights.push_back(std::max<uint64_t>(count, 1));
    entries_.push_back({symbol, 0, 0});
  }
  const std::vector<int> lengths = CodeLengths(weights);
  for (size_t i = 0; i < entries_.size(); ++i) entries_[i].length = lengths[i];
  // Canonical codes: shorter codes first, then by symbol; in this order the
  // codes also run in tree order, which WriteNode relies on.
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.length < b.length; });
  uint32_t code = 0;
  int length = entries_.front().length;
  for (Entry& e : entries_) {
    code <<= (e.length - length);
    length = e.length;
    e.code = code++;
  }
  for (size_t i = 0; i < entries_.size(); ++i) slot_[entries_[i].symbol] = i;
}

void SmackerHuffman::WriteCode(SmackerBitWriter* bits, uint32_t symbol) const {
  const Entry& e = entries_[slot_.at(symbol)];
  for (int i = e.length - 1; i >= 0; --i) bits->Bit((e.code >> i) & 1);
}

bool SmackerBigTree::Build(const std::map<uint32_t, uint64_t>& counts, std::string* error) {
  if (counts.size() > 65533) {
    *error = "more than 65533 distinct values in one tree";
    return false;
  }
  std::map<uint32_t, uint64_t> leaves = counts;
  for (uint32_t v = 0; leaves.size() < 2; ++v) leaves.emplace(v, 1);
  int found = 0;
  for (uint32_t v = 0; found < 3; ++v) {
    if (!leaves.count(v)) escapes_[found++] = static_cast<uint16_t>(v);
  }
  // The byte trees only shorten the header: they code the leaves' bytes,
  // counted once per leaf. Two leaves at least, as a one-leaf byte tree reads
  // as absent to some decoders.
  std::map<uint32_t, uint64_t> low, high;
  for (const auto& [value, count] : leaves) {
    ++low[value & 0xFF];
    ++high[value >> 8];
  }
  for (auto* bytes : {&low, &high}) {
    for (uint32_t v = 0; bytes->size() < 2; ++v) bytes->emplace(v, 1);
  }
  tree_.emplace(leaves);
  lowBytes_.emplace(low);
  highBytes_.emplace(high);
  return true;
}

void SmackerBigTree::Write(SmackerBitWriter* bits) const {
  bits->Bit(true);
  for (const SmackerHuffman* bytes : {&*lowBytes_, &*highBytes_}) {
    bits->Bit(true);
    bytes->WriteTree(bits, [bits](uint32_t value) { bits->Bits(value, 8); });
    bits->Bit(false);
  }
  for (uint16_t escape : escapes_) bits->Bits(escape, 16);
  tree_->WriteTree(bits, [this, bits](uint32_t value) {
    lowBytes_->WriteCode(bits, value & 0xFF);
    highBytes_->WriteCode(bits, value >> 8);
  });
  bits->Bit(false);
}

uint32_t SmackerBigTree::StoredSize() const {
  const uint32_t entries = static_cast<uint32_t>(2 * tree_->LeafCount() - 1 + 3);
  return entries * 4;
}
