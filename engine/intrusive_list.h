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
