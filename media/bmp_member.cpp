#include "media/bmp_member.h"

#include "engine/data_archive.h"
#include "media/media_archive.h"

BmpMemberStatus BmpMemberLoad(const char* archive, const char* member, BmpMember* out) {
  out->bytes.clear();
  out->fault = BmpFault::None;
  if (!member || !MediaArchiveOpen(archive)) return BmpMemberStatus::Missing;
  const int size = ArchiveMemberSize(member);
  if (size < 0 || !ArchiveFindMember(member)) {
    ArchiveClose();
    return BmpMemberStatus::Missing;
  }
  out->bytes.resize(static_cast<size_t>(size));
  const bool read = ArchiveReadBytes(out->bytes.data(), size) != 0;
  ArchiveFlush();
  ArchiveClose();
  if (!read) return BmpMemberStatus::ReadFailed;
  out->fault = BmpImageRead(out->bytes.data(), out->bytes.size(), &out->image);
  return out->fault == BmpFault::None ? BmpMemberStatus::Loaded : BmpMemberStatus::Refused;
}

int BmpFatalLine(const BmpFatalLines& lines, BmpMemberStatus status, BmpFault fault) {
  if (status == BmpMemberStatus::Missing) return lines.missing;
  if (status == BmpMemberStatus::ReadFailed) return lines.fileHeader;
  switch (fault) {
    case BmpFault::NoFileHeader:
      return lines.fileHeader;
    case BmpFault::NotBitmap:
      return lines.notBitmap;
    case BmpFault::BadHeader:
      return lines.header;
    case BmpFault::BadPixelData:
      return lines.pixels;
    default:
      return lines.notEightBit;
  }
}
