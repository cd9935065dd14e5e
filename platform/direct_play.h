#pragma once
// The DirectPlay 3 stand-in: sessions of up to eight players over UDP. The
// game's network layer talks to it under the names it was written against
// (IDirectPlay3A, DPSESSIONDESC2, DPSYS_*, DPERR_*); behind it stands ENet
// (platform/enet/), the same in both back ends.
//
// What it keeps of the original's behaviour:
//   - Every call returns an HRESULT: DP_OK (0) or one of the DPERR_ codes.
//   - Sessions are found by enumeration, opened by creating or joining, and
//     left by Close. A session with DPSESSION_MIGRATEHOST goes on when its
//     host leaves: the oldest remaining program becomes host and gets a
//     DPSYS_HOST system message; without it the others get DPSYS_SESSIONLOST.
//   - Players are created and destroyed by their own program; the others get
//     DPSYS_CREATEPLAYERORGROUP / DPSYS_DESTROYPLAYERORGROUP (also when a
//     program drops out). Player data is replicated to every program, each
//     change arriving as DPSYS_SETPLAYERORGROUPDATA; a joining program gets
//     one for every player that already has data.
//   - Send with DPSEND_GUARANTEED arrives once and in order; without it a
//     message may be lost, repeated or reordered (and is, on purpose, under
//     the test switch below).
//   - Receive hands over one message at a time; a buffer that is too small
//     gets DPERR_BUFFERTOOSMALL with the size needed. A system message is a
//     DPMSG_* record at the start of the buffer whose pointers point into the
//     same buffer (so the buffer must be aligned as new[] aligns it).
// The game's one thread makes the calls; each object services the network
// on a thread of its own in between (so it answers enumeration and keeps its
// connections while the game loads), under one lock with the calls.
//
// Environment:
//   KORVANE_NET_PORT   the UDP port a session's host listens on (default 47624);
//   KORVANE_NET_HOSTS  where enumeration asks, comma-separated "address[:port]"
//                      (default: the local broadcast address and 127.0.0.1);
//   KORVANE_NET_TEST   test switches, comma-separated: "noguarantee" (the
//                      capabilities claim no guaranteed delivery, so the game
//                      runs its own), "loss=P", "dup=P", "reorder=P" (percent
//                      of unguaranteed messages), "delay=MS", "seed=N".
#include <cstdint>
#include <memory>

#include "platform/framework/win_types.h"
#include "platform/types.h"

inline constexpr HRESULT MakeHresult(uint32_t code) { return static_cast<HRESULT>(code); }
inline constexpr HRESULT DP_OK = 0;
inline constexpr HRESULT DPERR_UNSUPPORTED = MakeHresult(0x80004001u);
inline constexpr HRESULT DPERR_GENERIC = MakeHresult(0x80004005u);
inline constexpr HRESULT DPERR_OUTOFMEMORY = MakeHresult(0x8007000Eu);
inline constexpr HRESULT DPERR_INVALIDPARAMS = MakeHresult(0x80070057u);
inline constexpr HRESULT E_INVALIDARG = DPERR_INVALIDPARAMS;
inline constexpr HRESULT DPERR_ALREADYINITIALIZED = MakeHresult(0x88770005u);
inline constexpr HRESULT DPERR_ACCESSDENIED = MakeHresult(0x8877000Au);
inline constexpr HRESULT DPERR_BUFFERTOOSMALL = MakeHresult(0x8877001Eu);
inline constexpr HRESULT DPERR_CANTADDPLAYER = MakeHresult(0x88770028u);
inline constexpr HRESULT DPERR_CANTCREATEPLAYER = MakeHresult(0x8877003Cu);
inline constexpr HRESULT DPERR_CANTCREATESESSION = MakeHresult(0x88770046u);
inline constexpr HRESULT DPERR_INVALIDFLAGS = MakeHresult(0x88770078u);
inline constexpr HRESULT DPERR_INVALIDOBJECT = MakeHresult(0x88770082u);
inline constexpr HRESULT DPERR_INVALIDPLAYER = MakeHresult(0x88770096u);
inline constexpr HRESULT DPERR_NOCONNECTION = MakeHresult(0x887700AAu);
inline constexpr HRESULT DPERR_NOMESSAGES = MakeHresult(0x887700BEu);
inline constexpr HRESULT DPERR_NONAMESERVERFOUND = MakeHresult(0x887700C8u);
inline constexpr HRESULT DPERR_NOSESSIONS = MakeHresult(0x887700DCu);
inline constexpr HRESULT DPERR_SENDTOOBIG = MakeHresult(0x887700E6u);
inline constexpr HRESULT DPERR_TIMEOUT = MakeHresult(0x887700F0u);
inline constexpr HRESULT DPERR_UNAVAILABLE = MakeHresult(0x887700FAu);
inline constexpr HRESULT DPERR_SESSIONLOST = MakeHresult(0x88770136u);
inline constexpr HRESULT DPERR_NOTLOBBIED = MakeHresult(0x8877042Eu);

// The service providers a connection can name. Only TCP/IP stands here (on
// UDP); the others answer DPERR_UNAVAILABLE.
inline constexpr GUID DPSPGUID_TCPIP = {0x36E95EE0, 0x8577, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0x53, 0x4E, 0x82}};
inline constexpr GUID DPSPGUID_IPX = {0x685BC400, 0x9D2C, 0x11CF, {0xA9, 0xCD, 0x00, 0xAA, 0x00, 0x68, 0x86, 0xE3}};
inline constexpr GUID DPSPGUID_MODEM = {0x44EAA760, 0xCB68, 0x11CF, {0x9C, 0x4E, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E}};
inline constexpr GUID DPSPGUID_SERIAL = {0x0F1D6860, 0x88D9, 0x11CF, {0x9C, 0x4E, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x5E}};

inline constexpr DPID DPID_SYSMSG = 0;
inline constexpr DPID DPID_ALLPLAYERS = 0;

inline constexpr DWORD DPSESSION_MIGRATEHOST = 0x04;
inline constexpr DWORD DPSESSION_KEEPALIVE = 0x40;
inline constexpr DWORD DPOPEN_JOIN = 0x01;
inline constexpr DWORD DPOPEN_CREATE = 0x02;
inline constexpr DWORD DPENUMSESSIONS_AVAILABLE = 0x01;
inline constexpr DWORD DPESC_TIMEDOUT = 0x01;
inline constexpr DWORD DPSEND_GUARANTEED = 0x01;
inline constexpr DWORD DPRECEIVE_ALL = 0x01;
inline constexpr DWORD DPGETCAPS_GUARANTEED = 0x01;
inline constexpr DWORD DPCAPS_GUARANTEEDOPTIMIZED = 0x20;
inline constexpr DWORD DPCAPS_GUARANTEEDSUPPORTED = 0x40;
inline constexpr DWORD DPCAPS_ISHOST = 0x02;

inline constexpr DWORD DPSYS_CREATEPLAYERORGROUP = 0x0003;
inline constexpr DWORD DPSYS_DESTROYPLAYERORGROUP = 0x0005;
inline constexpr DWORD DPSYS_SESSIONLOST = 0x0031;
inline constexpr DWORD DPSYS_HOST = 0x0101;
inline constexpr DWORD DPSYS_SETPLAYERORGROUPDATA = 0x0102;
inline constexpr DWORD DPPLAYERTYPE_GROUP = 0;
inline constexpr DWORD DPPLAYERTYPE_PLAYER = 1;

// The largest message or player data the stand-in carries; larger sends get
// DPERR_SENDTOOBIG and larger arrivals are dropped.
inline constexpr DWORD kDirectPlayMaxMessage = 65536;

struct DPSESSIONDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  GUID guidInstance;
  GUID guidApplication;
  DWORD dwMaxPlayers;
  DWORD dwCurrentPlayers;
  const char* lpszSessionNameA;
  const char* lpszPasswordA;
  DWORD dwReserved1;
  DWORD dwReserved2;
  DWORD dwUser1;
  DWORD dwUser2;
  DWORD dwUser3;
  DWORD dwUser4;
};

struct DPNAME {
  DWORD dwSize;
  DWORD dwFlags;
  const char* lpszShortNameA;
  const char* lpszLongNameA;
};

struct DPCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMaxBufferSize;
  DWORD dwMaxQueueSize;
  DWORD dwMaxPlayers;
  DWORD dwHundredBaud;
  DWORD dwLatency;
  DWORD dwMaxLocalPlayers;
  DWORD dwHeaderLength;
  DWORD dwTimeout;
};

// System messages (from DPID_SYSMSG): every one starts with dwType.
struct DPMSG_GENERIC {
  DWORD dwType;
};
struct DPMSG_CREATEPLAYERORGROUP {
  DWORD dwType;
  DWORD dwPlayerType;
  DPID dpId;
  DWORD dwCurrentPlayers;
  const void* lpData;
  DWORD dwDataSize;
  DPNAME dpnName;
};
struct DPMSG_DESTROYPLAYERORGROUP {
  DWORD dwType;
  DWORD dwPlayerType;
  DPID dpId;
  DPNAME dpnName;
};
struct DPMSG_SETPLAYERORGROUPDATA {
  DWORD dwType;
  DWORD dwPlayerType;
  DPID dpId;
  const void* lpData;
  DWORD dwDataSize;
};

// The compound address InitializeConnection takes: the service provider and,
// for TCP/IP, the host's address text (empty: enumerate the default hosts).
struct DPADDRESS {
  GUID serviceProvider;
  char inet[1024];
};

// Called once per session found, then once with DPESC_TIMEDOUT (desc null);
// FALSE stops the enumeration.
using LPDPENUMSESSIONSCALLBACK2 = BOOL (*)(const DPSESSIONDESC2* desc, DWORD* timeoutMs, DWORD flags, void* context);
// Called once per player of the session; FALSE stops.
using LPDPENUMPLAYERSCALLBACK2 = BOOL (*)(DPID id, DWORD playerType, const DPNAME* name, DWORD flags, void* context);

class IDirectPlay3A {
 public:
  virtual ~IDirectPlay3A() = default;
  // Chooses the service provider; DPERR_UNAVAILABLE for one that does not
  // stand here, DPERR_ALREADYINITIALIZED when called twice.
  virtual HRESULT InitializeConnection(const DPADDRESS* address, DWORD flags) = 0;
  // Guaranteed delivery (unless the test switch turns it off) and the resend
  // timeout the link suggests.
  virtual HRESULT GetCaps(DPCAPS* caps, DWORD flags) = 0;
  // Asks the hosts (KORVANE_NET_HOSTS, or the address the connection named)
  // for sessions of desc's application; timeoutMs 0 waits the default.
  virtual HRESULT EnumSessions(const DPSESSIONDESC2* desc, DWORD timeoutMs, LPDPENUMSESSIONSCALLBACK2 callback,
                               void* context, DWORD flags) = 0;
  // DPOPEN_CREATE: a new session (this program its host) from desc's flags,
  // player limit, name and user words. DPOPEN_JOIN: the enumerated session
  // whose instance is desc->guidInstance (DPERR_NOSESSIONS when unknown,
  // DPERR_ACCESSDENIED when full).
  virtual HRESULT Open(const DPSESSIONDESC2* desc, DWORD flags) = 0;
  // Leaves the session; the others see this program's players go.
  virtual HRESULT Close() = 0;
  virtual HRESULT CreatePlayer(DPID* id, const DPNAME* name, void* event, const void* data, DWORD dataSize,
                               DWORD flags) = 0;
  virtual HRESULT DestroyPlayer(DPID id) = 0;
  virtual HRESULT EnumPlayers(const GUID* session, LPDPENUMPLAYERSCALLBACK2 callback, void* context, DWORD flags) = 0;
  // A DPNAME followed by its two strings; *size in: the buffer's size, out:
  // the size needed (DPERR_BUFFERTOOSMALL when it was short).
  virtual HRESULT GetPlayerName(DPID id, void* buffer, DWORD* size) = 0;
  virtual HRESULT SetPlayerData(DPID id, const void* data, DWORD size, DWORD flags) = 0;
  // to = DPID_ALLPLAYERS: every player of the other programs.
  virtual HRESULT Send(DPID from, DPID to, DWORD flags, const void* data, DWORD size) = 0;
  // The next message: DPERR_NOMESSAGES when none waits; *size in: the
  // buffer's size, out: the message's.
  virtual HRESULT Receive(DPID* from, DPID* to, DWORD flags, void* buffer, DWORD* size) = 0;
};

// A new DirectPlay object of the installed back end's network
// (DPERR_UNAVAILABLE when it has none).
HRESULT DirectPlayCreate(std::unique_ptr<IDirectPlay3A>* out);
