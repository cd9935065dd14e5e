#pragma once
// Intrusive doubly linked lists: a record carries its own links and its owner
// keeps the head and tail. A record may be on several lists at once (a
// fragment on its polygon's and its BSP node's), so the links are named by
// pointers to members:
//   ListAppend(world->firstSurface, world->lastSurface, surface, &Surface::prev, &Surface::next);
// Head and tail are the owner's own fields, passed by reference.

// Puts node at the end of the list. Node is on no list (of these links).
template <typename T>
void ListAppend(T*& head, T*& tail, T* node, T* T::*prev, T* T::*next) {
  node->*prev = tail;
  node->*next = nullptr;
  if (tail) {
    tail->*next = node;
  } else {
    head = node;
  }
  tail = node;
}

// Puts node just ahead of before, which is on the list; a null before appends.
template <typename T>
void ListInsertBefore(T*& head, T*& tail, T* node, T* before, T* T::*prev, T* T::*next) {
  if (!before) {
    ListAppend(head, tail, node, prev, next);
    return;
  }
  node->*next = before;
  node->*prev = before->*prev;
  if (before->*prev) {
    (before->*prev)->*next = node;
  } else {
    head = node;
  }
  before->*prev = node;
}

// Takes node off the list and clears its links. Head and tail move on only
// when they are node itself: a record that is on no list leaves them alone.
template <typename T>
void ListUnlink(T*& head, T*& tail, T* node, T* T::*prev, T* T::*next) {
  if (node->*prev) {
    (node->*prev)->*next = node->*next;
  } else if (head == node) {
    head = node->*next;
  }
  if (node->*next) {
    (node->*next)->*prev = node->*prev;
  } else if (tail == node) {
    tail = node->*prev;
  }
  node->*prev = node->*next = nullptr;
}

// The same for a list whose owner keeps only its head.
template <typename T>
void ListUnlink(T*& head, T* node, T* T::*prev, T* T::*next) {
  T* noTail = nullptr;  // never equal to node, so never moved
  ListUnlink(head, noTail, node, prev, next);
}

// Trees of records that keep parent, firstChild, lastChild, prevSibling and
// nextSibling (mesh nodes, instance nodes, polygon groups).

// Takes node off its parent's children; nothing for a root.
template <typename T>
void TreeDetach(T* node) {
  if (T* parent = node->parent) {
    ListUnlink(parent->firstChild, parent->lastChild, node, &T::prevSibling, &T::nextSibling);
    node->parent = nullptr;
  }
}

// 1 when candidate is node itself or lies below it: node may not go under
// it, or every walk of the tree would be endless.
template <typename T>
bool TreeIsSelfOrBelow(const T* node, const T* candidate) {
  for (const T* up = candidate; up; up = up->parent) {
    if (up == node) return true;
  }
  return false;
}

// Moves node to the end of parent's children (null detaches it). A parent
// that is node itself or lies below it is refused: nothing changes.
template <typename T>
void TreeSetParent(T* node, T* parent) {
  if (TreeIsSelfOrBelow(node, parent)) return;
  TreeDetach(node);
  if (!parent) return;
  node->parent = parent;
  ListAppend(parent->firstChild, parent->lastChild, node, &T::prevSibling, &T::nextSibling);
}
