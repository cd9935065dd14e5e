#pragma once
// The network: sessions of up to eight players, standing in for DirectPlay
// 3 and its lobby (find, create and join a session, players and their
// replicated data, messages to one player or to all, guaranteed or not, the
// system messages of players joining and leaving and of a lost session). It
// will stand on ENet over UDP, the same in both back ends (tests on this
// machine's loopback).
//
// Today no implementation exists: both back ends use the null network
// (platform/headless/null_network.cpp), on which no session can be found,
// made or joined, so every game is a game for one.
//
// Not here yet: every operation. They come with network play, shaped by what
// the network layer calls; the contract above is what they must keep.
#include <memory>

class PlatformNetwork {
 public:
  virtual ~PlatformNetwork() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
};

// The stand-in with nothing behind it: no session, ever.
std::unique_ptr<PlatformNetwork> NullNetworkCreate();
