// Writing the Document into its file without losing the old contents: a new
// file renamed into place where that keeps the file what it is, otherwise
// the file rewritten in place behind a backup copy. Files layer: included by
// load_save.cpp.
#pragma once

namespace vusk {

// Writes the Document to `path` in files.file_mode; true only when every
// byte is on disk. On failure the file keeps its old contents and nothing of
// the save is left behind; should even putting the old contents back fail,
// their backup copy is kept and its path shown in the "error!?" box.
bool write_document_to(const char* path);

}  // namespace vusk
