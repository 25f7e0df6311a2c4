#include "NotePictures.h"

#include "Container.h"
#include "platform/FileNames.h"

#include <filesystem>
#include <map>

namespace qel {
namespace {

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(ToNativePath(a), ToNativePath(b), error);
}

} // namespace

std::string PictureCopyName(const std::string& file, const std::string& folder) {
  const std::string name = ExtractFileName(file);
  const std::string ext = ExtractFileExt(name);
  const std::string stem = name.substr(0, name.size() - ext.size());
  std::string bytes;
  bool read = false;
  for (int n = 1;; ++n) {
    const std::string candidate = folder + (n == 1 ? name : stem + "_" + std::to_string(n) + ext);
    const std::string existing = FindFileNoCase(candidate);
    if (!FileExists(existing)) return candidate;
    if (SameFile(file, existing)) return existing;
    if (!read) {
      bytes = ReadFileBytes(file);
      read = true;
    }
    if (ReadFileBytes(existing) == bytes) return existing;
  }
}

std::string CopyPictureInto(const std::string& file, const std::string& folder) {
  const std::string target = PictureCopyName(file, folder);
  if (FileExists(target)) return target;
  // Written beside the target first: a failed copy leaves no half file of that name.
  const std::string temporary = target + ".copy~";
  try {
    CopyFileBytes(file, temporary);
    RenameFile(temporary, target);
  } catch (...) {
    DeleteFile(temporary);
    throw;
  }
  return target;
}

std::vector<std::string> GatherNotePictures(TContainer& project, const std::string& folder) {
  const std::string into = IncludeTrailingPathDelimiter(folder);
  std::map<std::string, std::string> copies; // file -> its copy, or "" when it failed
  std::vector<std::string> failed;
  const auto copyOf = [&](const std::string& file) {
    if (file.empty() || !FileExists(file)) return file;
    auto [known, added] = copies.try_emplace(file);
    if (!added) return known->second.empty() ? file : known->second;
    try {
      known->second = CopyPictureInto(file, into);
      return known->second;
    } catch (const std::exception& e) {
      failed.push_back(file + ": " + e.what());
      return file;
    }
  };
  for (int i = 0; i < project.NotePool->AllCount(); ++i) {
    TNoteItem* note = project.NotePool->GetAllItem(i);
    if (const std::string image = copyOf(note->Data.ImageFile); image != note->Data.ImageFile) note->SetImage(image);
    if (const std::string logo = copyOf(note->Data.LogoFile); logo != note->Data.LogoFile) note->SetLogo(logo);
  }
  return failed;
}

} // namespace qel
