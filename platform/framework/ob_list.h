#pragma once
// The class library's doubly linked lists of pointers: CObList (of CObject
// pointers; serialisable: the count, then every element as an object
// reference), CPtrList (of void pointers) and the typed wrapper
// CTypedPtrList. A list never deletes its elements. Reading the head or tail
// of an empty list gives null instead of asserting.
#include <type_traits>

#include "platform/framework/position.h"
#include "platform/framework/runtime_class.h"

template <typename T>
class PointerList {
  struct Node {
    Node* next;
    Node* prev;
    T data;
  };

 public:
  explicit PointerList(int /*blockSize*/ = 10) {}
  ~PointerList() { RemoveAll(); }
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;

  int GetCount() const { return count_; }
  int GetSize() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  T GetHead() const { return head_ ? head_->data : T(); }
  T GetTail() const { return tail_ ? tail_->data : T(); }
  T RemoveHead() {
    if (!head_) return T();
    T value = head_->data;
    RemoveAt(ToPosition(head_));
    return value;
  }
  T RemoveTail() {
    if (!tail_) return T();
    T value = tail_->data;
    RemoveAt(ToPosition(tail_));
    return value;
  }
  POSITION AddHead(T value) { return InsertBefore(ToPosition(head_), value); }
  POSITION AddTail(T value) { return InsertAfter(ToPosition(tail_), value); }
  void RemoveAll() {
    Node* node = head_;
    while (node) {
      Node* next = node->next;
      delete node;
      node = next;
    }
    head_ = tail_ = nullptr;
    count_ = 0;
  }

  POSITION GetHeadPosition() const { return ToPosition(head_); }
  POSITION GetTailPosition() const { return ToPosition(tail_); }
  T GetNext(POSITION& position) const {
    Node* node = ToNode(position);
    position = ToPosition(node->next);
    return node->data;
  }
  T GetPrev(POSITION& position) const {
    Node* node = ToNode(position);
    position = ToPosition(node->prev);
    return node->data;
  }
  T GetAt(POSITION position) const { return ToNode(position)->data; }
  void SetAt(POSITION position, T value) { ToNode(position)->data = value; }

  void RemoveAt(POSITION position) {
    Node* node = ToNode(position);
    if (!node) return;
    (node->prev ? node->prev->next : head_) = node->next;
    (node->next ? node->next->prev : tail_) = node->prev;
    delete node;
    --count_;
  }
  // Before/after the given element; a null position means the head/tail.
  POSITION InsertBefore(POSITION position, T value) {
    Node* at = ToNode(position);
    if (!at) at = head_;
    Node* node = new Node{at, at ? at->prev : nullptr, value};
    (node->prev ? node->prev->next : head_) = node;
    (at ? at->prev : tail_) = node;
    ++count_;
    return ToPosition(node);
  }
  POSITION InsertAfter(POSITION position, T value) {
    Node* at = ToNode(position);
    if (!at) at = tail_;
    Node* node = new Node{at ? at->next : nullptr, at, value};
    (node->next ? node->next->prev : tail_) = node;
    (at ? at->next : head_) = node;
    ++count_;
    return ToPosition(node);
  }
  // The first element equal to value after startAfter (null: from the head).
  POSITION Find(T value, POSITION startAfter = nullptr) const {
    Node* node = startAfter ? ToNode(startAfter)->next : head_;
    for (; node; node = node->next)
      if (node->data == value) return ToPosition(node);
    return nullptr;
  }
  POSITION FindIndex(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    Node* node = head_;
    while (index-- > 0) node = node->next;
    return ToPosition(node);
  }

 private:
  static POSITION ToPosition(Node* node) { return reinterpret_cast<POSITION>(node); }
  static Node* ToNode(POSITION position) { return reinterpret_cast<Node*>(position); }

  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  int count_ = 0;
};

class CObList : public CObject, public PointerList<CObject*> {
  DECLARE_SERIAL_CLASS(CObList)
 public:
  explicit CObList(int blockSize = 10) : PointerList<CObject*>(blockSize) {}
  // Storing: the count, then each element as an object reference. Loading
  // appends the elements read; an element of another class than the list's
  // element class (when it has one) fails with badClass.
  void Serialize(CArchive& ar) override;

 protected:
  // Set by typed lists whose element type has a runtime class.
  const CRuntimeClass* elementClass_ = nullptr;
};

class CPtrList : public CObject, public PointerList<void*> {
  DECLARE_DYNAMIC_CLASS(CPtrList)
 public:
  explicit CPtrList(int blockSize = 10) : PointerList<void*>(blockSize) {}
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
 public:
  explicit CTypedPtrList(int blockSize = 10) : BASE_CLASS(blockSize) {
    using Element = std::remove_cv_t<std::remove_pointer_t<TYPE>>;
    if constexpr (std::is_base_of_v<CObList, BASE_CLASS> && std::is_base_of_v<CObject, Element>)
      this->elementClass_ = Element::GetThisClass();
  }

  TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
  TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
  TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
  TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
  POSITION AddHead(TYPE value) { return BASE_CLASS::AddHead(value); }
  POSITION AddTail(TYPE value) { return BASE_CLASS::AddTail(value); }
  TYPE GetNext(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetNext(position)); }
  TYPE GetPrev(POSITION& position) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(position)); }
  TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
  void SetAt(POSITION position, TYPE value) { BASE_CLASS::SetAt(position, value); }
  POSITION InsertBefore(POSITION position, TYPE value) { return BASE_CLASS::InsertBefore(position, value); }
  POSITION InsertAfter(POSITION position, TYPE value) { return BASE_CLASS::InsertAfter(position, value); }
  POSITION Find(TYPE value, POSITION startAfter = nullptr) const { return BASE_CLASS::Find(value, startAfter); }
};
