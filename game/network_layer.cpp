#include "game/network_layer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/net_crc32.h"
#include "game/interface_manager.h"
#include "game/net_wire.h"
#include "platform/clock.h"
#include "platform/debug_output.h"

CNet g_Net;

namespace {

// Failures are traced for the developer; the caller decides what the player
// sees.
bool ReportDPError(const char* context, HRESULT result) {
  if (result == DP_OK) return false;
  char line[160];
  std::snprintf(line, sizeof line, "korvane: network: %s (0x%08X)\n", context, static_cast<unsigned>(result));
  OutputDebugString(line);
  return true;
}

const GUID& ServiceProviderOf(int connectionType) {
  switch (connectionType) {
    case 0: return DPSPGUID_TCPIP;
    case 2: return DPSPGUID_MODEM;
    case 3: return DPSPGUID_SERIAL;
    default: return DPSPGUID_IPX;
  }
}

DPSESSIONDESC2 EmptySessionDesc() {
  DPSESSIONDESC2 desc{};
  desc.dwSize = 80;
  return desc;
}

}  // namespace

DWORD MissionNumberOf(const char* archiveName) {
  if (!archiveName || !archiveName[0]) return 0;
  DWORD number = 0;
  for (const char* at = archiveName + 1; *at && *at != '.'; ++at) {
    if (!std::isdigit(static_cast<unsigned char>(*at))) break;
    number = number * 10 + static_cast<DWORD>(*at - '0');
  }
  return number;
}

CNet::CNet() : services_(&DocumentNetHost()) { Crc32("", 0); }

CNet::~CNet() {
  // At exit the document and its host services may be gone already.
  closed_ = true;
  Close();
  playerNames_.clear();
}

bool CNet::ConnectFromLobby() {
  // A lobby hands its settings over as "create|join,session,player,ship".
  const char* settings = std::getenv("KORVANE_NET_LOBBY");
  if (!settings || !*settings) return false;
  std::string fields[4];
  int field = 0;
  for (const char* at = settings; *at && field < 4; ++at) {
    if (*at == ',') {
      ++field;
    } else {
      fields[field] += *at;
    }
  }
  NetMenuSettings menus;
  menus.startNew = fields[0] == "create";
  menus.sessionName = fields[1].c_str();
  menus.playerName = fields[2].empty() ? "player" : fields[2].c_str();
  menus.shipCode = fields[3].size() == 2 ? fields[3].c_str() : "AA";
  const char* address = std::getenv("KORVANE_NET_ADDRESS");
  menus.address = address ? address : "";
  return StartOrJoin(menus);
}

bool CNet::StartOrJoin() {
  if (!g_pInterface) return false;
  NetMenuSettings menus;
  menus.connectionType = g_pInterface->GetConnectionType();
  menus.address = g_pInterface->GetIpAddress();
  menus.sessionName = g_pInterface->GetSessionName();
  menus.playerName = g_pInterface->GetPlayerName();
  const char code[3] = {static_cast<char>('A' + g_pInterface->GetShipStyle(0)),
                        static_cast<char>('A' + g_pInterface->GetShipStyle(1)), 0};
  menus.shipCode = code;
  menus.startNew = !g_pInterface->IsJoining();
  const bool started = StartOrJoin(menus);
  g_pInterface->SetSessionName(menus.sessionName);
  return started;
}

bool CNet::StartOrJoin(NetMenuSettings& settings) {
  // A session needs a name to be found by; the menus leave it empty until
  // one is typed.
  if (settings.sessionName.IsEmpty()) return false;
  if (!ConnectDirect(settings.connectionType, settings.address)) return false;
  CString name = settings.sessionName;
  const CNetSessionInfo* record = FindSession(name);
  if (settings.startNew && record) {
    for (int suffix = 1;; ++suffix) {
      char tail[16];
      std::snprintf(tail, sizeof tail, "_%d", suffix);
      CString candidate = settings.sessionName + tail;
      if (!FindSession(candidate)) {
        name = candidate;
        break;
      }
    }
    settings.sessionName = name;
    record = nullptr;
  }
  if (!record) {
    if (!CreateSession(name)) return false;
    services_->ShowMessage(CString("Started new game: ") + name);
    host_ = 1;
  } else {
    if (!JoinSession(record)) return false;
    services_->ShowMessage(CString("Game joined: ") + name);
    host_ = 0;
  }
  if (!EnumPlayers()) return false;
  return services_->CreatePlayerRecord(settings.playerName, settings.shipCode);
}

bool CNet::ConnectDirect(int connectionType, const char* address) {
  Close();
  DPADDRESS compound{};
  compound.serviceProvider = ServiceProviderOf(connectionType);
  if (connectionType == 0 && address) std::snprintf(compound.inet, sizeof compound.inet, "%s", address);
  if (!InitConnection(compound, factory_ ? factory_() : nullptr)) return false;
  return EnumSessions();
}

bool CNet::InitConnection(const DPADDRESS& address, std::unique_ptr<IDirectPlay3A> directPlay) {
  Release();
  if (directPlay) {
    directPlay_ = std::move(directPlay);
  } else if (ReportDPError("Error creating DirectPlay 3 interface", DirectPlayCreate(&directPlay_))) {
    directPlay_.reset();
    return false;
  }
  if (!directPlay_) return false;
  DPCAPS caps{};
  caps.dwSize = 40;
  if (ReportDPError("Error initializing connection", directPlay_->InitializeConnection(&address, 0)) ||
      ReportDPError("Error getting connection capabilities", directPlay_->GetCaps(&caps, DPGETCAPS_GUARANTEED))) {
    Release();
    return false;
  }
  resendTimeout_ = caps.dwTimeout < kNetMinResendTimeout ? kNetMinResendTimeout : caps.dwTimeout;
  guaranteed_ = (caps.dwFlags & (DPCAPS_GUARANTEEDOPTIMIZED | DPCAPS_GUARANTEEDSUPPORTED)) ? 1 : 0;
  return true;
}

bool CNet::EnumSessions() {
  if (!directPlay_) return false;
  ClearSessions();
  DPSESSIONDESC2 desc = EmptySessionDesc();
  desc.guidApplication = kNetApplicationGuid;
  struct Context {
    CNet* net;
    bool timedOut;
  } context{this, false};
  auto callback = [](const DPSESSIONDESC2* found, DWORD*, DWORD flags, void* raw) -> BOOL {
    auto* c = static_cast<Context*>(raw);
    if (flags & DPESC_TIMEDOUT) {
      c->timedOut = true;
      return FALSE;
    }
    if (!found) return TRUE;
    CNetSessionInfo info;
    info.flags = found->dwFlags;
    info.instance = found->guidInstance;
    info.application = found->guidApplication;
    info.maxPlayers = found->dwMaxPlayers;
    info.currentPlayers = found->dwCurrentPlayers;
    info.mission = found->dwUser1;
    info.name = found->lpszSessionNameA ? found->lpszSessionNameA : "";
    c->net->sessions_.push_back(info);
    return TRUE;
  };
  const HRESULT result = directPlay_->EnumSessions(&desc, 0, callback, &context, DPENUMSESSIONS_AVAILABLE);
  if (!context.timedOut && ReportDPError("Error enumerating game sessions", result)) return false;
  return true;
}

const CNetSessionInfo* CNet::FindSession(const char* name) const {
  for (const CNetSessionInfo& info : sessions_) {
    if (std::strcmp(info.name, name) == 0) return &info;
  }
  return nullptr;
}

bool CNet::JoinSession(const CNetSessionInfo* session) {
  if (!session || !directPlay_) return false;
  DPSESSIONDESC2 desc = EmptySessionDesc();
  desc.guidInstance = session->instance;
  return !ReportDPError("Error joining session", directPlay_->Open(&desc, DPOPEN_JOIN));
}

bool CNet::CreateSession(const char* name) {
  if (!directPlay_) return false;
  extern CString g_CurrentMissionArchive;
  DPSESSIONDESC2 desc = EmptySessionDesc();
  desc.dwFlags = DPSESSION_MIGRATEHOST | DPSESSION_KEEPALIVE;
  desc.guidApplication = kNetApplicationGuid;
  desc.dwMaxPlayers = 8;
  desc.lpszSessionNameA = name;
  desc.dwUser1 = MissionNumberOf(g_CurrentMissionArchive);
  desc.dwUser2 = desc.dwUser3 = desc.dwUser4 = 0xFFFFFFFFu;
  return !ReportDPError("Error creating session", directPlay_->Open(&desc, DPOPEN_CREATE));
}

bool CNet::EnumPlayers() {
  playerNames_.clear();
  if (!directPlay_) return false;
  auto callback = [](DPID, DWORD, const DPNAME* name, DWORD, void* raw) -> BOOL {
    CNetPlayerName entry;
    if (name) {
      entry.shortName = name->lpszShortNameA ? name->lpszShortNameA : "";
      entry.longName = name->lpszLongNameA ? name->lpszLongNameA : "";
    }
    static_cast<std::list<CNetPlayerName>*>(raw)->push_back(entry);
    return TRUE;
  };
  return !ReportDPError("Error enumerating players in the game",
                        directPlay_->EnumPlayers(nullptr, callback, &playerNames_, 0));
}

bool CNet::Send(DPID to, void* data, int length, bool guaranteed) {
  if (!directPlay_ || !data || length <= 0) return false;
  if (guaranteed_) {
    const HRESULT result = directPlay_->Send(services_->LocalPlayerId(), to, guaranteed ? DPSEND_GUARANTEED : 0,
                                             data, static_cast<DWORD>(length));
    if (ReportDPError("Error sending data!", result)) return false;
    services_->CountBytesSent(static_cast<uint32_t>(length));
    return true;
  }
  services_->CountBytesSent(static_cast<uint32_t>(length));
  PendingSend record;
  if (to != 0) {
    record.recipients.push_back(to);
  } else {
    services_->OtherPlayerIds(&record.recipients);
    record.broadcast = true;
  }
  if (record.recipients.empty()) return false;
  if (guaranteed && pending_.size() >= kNetMaxPending) {
    OutputDebugString("korvane: network: the resend queue is full; a guaranteed message was refused\n");
    return false;
  }
  auto* bytes = static_cast<uint8_t*>(data);
  if (guaranteed && length >= 4) NetWriteU32(bytes, NetReadU32(bytes) | kNetAckRequested);
  record.guaranteed = guaranteed;
  record.crc = Crc32(bytes, static_cast<size_t>(length));
  record.data.assign(bytes, bytes + length);
  services_->CountBytesQueued(length);
  pending_.push_front(std::move(record));
  PendingSend& queued = pending_.front();
  // A first transmission that reached nobody is the caller's failure, not a
  // message on its way.
  const bool sent = Transmit(queued, timeGetTime());
  if (!sent || !queued.guaranteed || queued.recipients.empty()) Erase(pending_.begin());
  return sent;
}

bool CNet::Transmit(PendingSend& record, uint32_t now) {
  record.lastSendTime = now;
  ++record.transmissions;
  const DPID from = services_->LocalPlayerId();
  const auto size = static_cast<DWORD>(record.data.size());
  if (record.broadcast) {
    const HRESULT result = directPlay_->Send(from, DPID_ALLPLAYERS, 0, record.data.data(), size);
    if (result == DP_OK) return true;
    if (result != E_INVALIDARG) ReportDPError("Error sending data!", result);
    // The next transmission goes to each recipient, so that only the ones
    // that can't be reached are dropped.
    record.broadcast = false;
    return false;
  }
  std::vector<DPID> failed;
  for (DPID to : record.recipients) {
    const HRESULT result = directPlay_->Send(from, to, 0, record.data.data(), size);
    if (result == DP_OK) continue;
    if (result != E_INVALIDARG) ReportDPError("Error sending data!", result);
    failed.push_back(to);
  }
  const bool any = failed.size() < record.recipients.size();
  for (DPID to : failed) {
    std::erase(record.recipients, to);
    if (record.guaranteed) services_->PeerUnreachable(to);
  }
  return any;
}

void CNet::PumpResends(bool newestOnly) {
  if (pending_.empty() || !directPlay_ || services_->IsRenderInProgress()) return;
  const uint32_t now = timeGetTime();
  std::vector<DPID> unresponsive;
  for (auto at = pending_.begin(); at != pending_.end();) {
    PendingSend& record = *at;
    // The first transmission goes at once, whatever the clock says (it may
    // have started near 0).
    const bool due = record.transmissions < 0 || now - record.lastSendTime > resendTimeout_;
    bool keep = true;
    if (due) {
      if (record.guaranteed && record.transmissions + 1 >= kNetMaxTransmissions) {
        unresponsive.insert(unresponsive.end(), record.recipients.begin(), record.recipients.end());
      } else {
        Transmit(record, now);
        keep = record.guaranteed && !record.recipients.empty();
      }
    }
    if (!keep) {
      auto next = std::next(at);
      Erase(at);
      at = next;
    } else {
      ++at;
    }
    if (newestOnly) break;
  }
  // A player that never acknowledges is not sent to forever.
  for (DPID id : unresponsive) DropRecipient(id, true);
}

void CNet::OnAck(DPID from, uint32_t crc) {
  for (auto at = pending_.begin(); at != pending_.end(); ++at) {
    if (at->crc != crc) continue;
    auto listed = std::find(at->recipients.begin(), at->recipients.end(), from);
    if (listed != at->recipients.end()) {
      at->recipients.erase(listed);
      at->broadcast = false;
    }
    if (at->recipients.empty()) Erase(at);
    return;
  }
}

void CNet::RemoveRecipient(DPID player) { DropRecipient(player, false); }

void CNet::DropRecipient(DPID player, bool report) {
  bool listed = false;
  for (auto at = pending_.begin(); at != pending_.end();) {
    auto found = std::find(at->recipients.begin(), at->recipients.end(), player);
    if (found != at->recipients.end()) {
      listed = true;
      at->recipients.erase(found);
      at->broadcast = false;
    }
    if (at->recipients.empty()) {
      auto next = std::next(at);
      Erase(at);
      at = next;
    } else {
      ++at;
    }
  }
  if (report && listed) services_->PeerUnreachable(player);
}

void CNet::Erase(PendingList::iterator at) {
  if (!closed_) services_->CountBytesQueued(-static_cast<int64_t>(at->data.size()));
  pending_.erase(at);
}

void CNet::Flush() {
  if (!directPlay_) return;
  const uint32_t start = timeGetTime();
  while (!pending_.empty() && directPlay_) {
    services_->ReceiveMessages();
    PumpResends(false);
    if (timeGetTime() - start > kNetFlushLimitMs) break;
    Sleep(1);
  }
}

void CNet::Close() {
  pending_.clear();
  if (!closed_) services_->ResetBytesQueued();
  Release();
}

void CNet::Release() {
  resendTimeout_ = kNetDefaultResendTimeout;
  host_ = 0;
  if (directPlay_) {
    directPlay_->Close();
    directPlay_.reset();
  }
  guaranteed_ = 0;
  ClearSessions();
}

void CNet::ClearSessions() { sessions_.clear(); }
