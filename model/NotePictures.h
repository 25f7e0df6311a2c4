#pragma once
// A project keeps its notes' pictures and logos beside its data files: copies in its folder,
// to which the notes refer by full name.
#include <string>
#include <vector>

namespace qel {

class TContainer;

// The name in the folder for a copy of the file: the file itself when it is there, its own
// name when free or holding the same bytes, else the first "name_N.ext" that is free or holds
// the same bytes. Names count as equal without regard to letter case, as the project finds
// its files so. Raises EInOutError when the file cannot be read.
std::string PictureCopyName(const std::string& file, const std::string& folder);
// Copies the file into the folder under PictureCopyName, unless a file there holds it
// already, and returns the copy's name. Raises EInOutError; a failed copy leaves no file
// under that name.
std::string CopyPictureInto(const std::string& file, const std::string& folder);
// Every existing picture and logo file of the project's notes (all of them, whatever a
// search shows) that is not in the folder is copied into it, and its notes refer to the copy.
// A missing file keeps its name. Returns a line for each file that could not be copied; its
// notes keep referring to it where it is.
std::vector<std::string> GatherNotePictures(TContainer& project, const std::string& folder);

} // namespace qel
