// qda: lists, extracts and writes resource archives.
//
//   qda list ARCHIVE                 id, stored size, unpacked size per entry
//   qda extract ARCHIVE ID [OUTFILE] the item's bytes (to stdout without OUTFILE)
//   qda pack [--raw] ARCHIVE FILE... the files under their base names, byte-pair packed
//                                    unless --raw
//
// Ids on the command line and in the listing are UTF-8; the archive holds them as CP932.
// Files are written whole or not at all (a temporary file renamed over the target).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "data/qda.h"
#include "data/qda_writer.h"
#include "data/stream.h"
#include "platform/text/text.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::cerr << "usage: qda list ARCHIVE\n"
               "       qda extract ARCHIVE ID [OUTFILE]\n"
               "       qda pack [--raw] ARCHIVE FILE...\n";
  return kExitUsage;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  data::FileStream file(path);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
  file.ReadExact(bytes.data(), bytes.size());
  return bytes;
}

void WriteFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::string temp = path + ".tmp-qda";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create '" + temp + "'");
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  std::error_code ec;
  if (!written || !closed) {
    std::filesystem::remove(temp, ec);
    throw std::runtime_error("cannot write '" + temp + "'");
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    throw std::runtime_error("cannot replace '" + path + "'");
  }
}

std::string ToAnsi(const std::string& utf8) {
  return platform::IsValidUtf8(utf8) ? platform::Utf8ToAnsi(utf8) : utf8;
}

int List(const std::string& archivePath) {
  data::FileStream file(archivePath);
  const data::QDADirectory dir = data::ReadQDADirectory(file);
  for (const data::QDAEntry& e : dir.entries) {
    const std::uint32_t stored =
        dir.compressed == data::kQDACompressed ? e.storedSize : e.unpackedSize;
    std::cout << platform::AnsiToUtf8(e.id) << '\t' << stored << '\t' << e.unpackedSize << '\n';
  }
  return 0;
}

int Extract(const std::string& archivePath, const std::string& id, const char* outPath) {
  const data::MemoryStream item = data::ExtractQDAFile(archivePath, ToAnsi(id));
  if (outPath) {
    WriteFileWhole(outPath, item.Bytes());
  } else if (std::fwrite(item.Data(), 1, item.Bytes().size(), stdout) != item.Bytes().size() ||
             std::fflush(stdout) != 0) {
    throw std::runtime_error("cannot write to standard output");
  }
  return 0;
}

int Pack(const std::vector<std::string>& args) {
  std::size_t at = 0;
  data::QDAPacking packing = data::QDAPacking::Packed;
  if (at < args.size() && args[at] == "--raw") packing = data::QDAPacking::Raw, ++at;
  if (args.size() - at < 2) return Usage();
  const std::string archivePath = args[at++];
  std::vector<data::QDAItem> items;
  for (; at < args.size(); ++at) {
    items.push_back(
        {ToAnsi(std::filesystem::path(args[at]).filename().string()), ReadFile(args[at])});
  }
  WriteFileWhole(archivePath, data::WriteQDAArchive(items, packing));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "list") return List(args[1]);
    if ((args.size() == 3 || args.size() == 4) && args[0] == "extract") {
      return Extract(args[1], args[2], args.size() == 4 ? args[3].c_str() : nullptr);
    }
    if (!args.empty() && args[0] == "pack") return Pack({args.begin() + 1, args.end()});
    return Usage();
  } catch (const std::exception& e) {
    std::cerr << "qda: " << e.what() << '\n';
    return kExitError;
  }
}
