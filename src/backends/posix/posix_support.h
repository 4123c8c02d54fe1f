// POSIX-only entry points that the Linux backends call from main(), and the
// fault injection the tests use. Backends layer (the POSIX services that the
// SDL2 and headless backends share): included only by src/backends/posix,
// src/backends/sdl, src/backends/headless and the tests.
#pragma once
#include <cstdint>
#include <string>

namespace vusk {

// Rebuilds the command line from argv, so that the one command-line parser
// reads it as on Windows: each argument holding a byte below 0x21 or a double
// quote is quoted, its quotes doubled (a name with a quote is then refused).
void set_command_line_from_argv(int argc, char** argv);
// Sets the command line verbatim (tests).
void set_command_line(const char* text);

// Makes a write past the file-size limit (ulimit -f) fail with EFBIG, as a
// full disk does, instead of ending the process with SIGXFSZ: a save then
// fails cleanly and the user's work stays open. Called first by each main.
void keep_running_past_file_size_limit();

// Installs the places of an installed copy's files into platform_hooks: the
// font also under ../share/vusk/ beside the executable, and the transfer file
// in the user's cache when the executable's directory is not writable.
void install_posix_hooks();
// The data file `name` under ../share/vusk/ relative to the executable.
bool posix_installed_data_path(const char* name, char* dest, uint32_t max);
// The executable's directory when it is writable, else the user's cache
// directory, which may not exist yet.
uint32_t posix_transfer_directory(char* dest, uint32_t max);
// The user's cache directory for Vusk, "<cache>/vusk/", with <cache> =
// `xdg_cache_home` when it is an absolute path, else `home` + "/.cache":
// writes it (with the final '/') to `dest` and returns its length, or 0 when
// there is none or it does not fit. Nothing is created here: the first write
// into it does that (make_parent_directories).
uint32_t user_cache_directory(const char* xdg_cache_home, const char* home, char* dest, uint32_t max);
// The same directory as a string, "" when there is none.
std::string user_cache_path(const char* xdg_cache_home, const char* home);

// Tests: from now on, the n-th call (from 1) of read_block, write_block,
// flush_file, seek_file_start, set_file_end or replace_file fails when bit
// n-1 of `mask` is set; 0 switches this off. Each failure is one short read
// or write, or one refusal, as a full disk or a failing device gives.
void fail_file_operations(uint64_t mask);
// What an injected fault does, for the sweeps that fail every call in turn:
// with `partial`, a failing read or write moves the first half of its bytes
// before it comes back short (a disk filling up mid-write); with
// `opens_too`, opening, creating and making temporary files count as calls
// and can fail like the others. Both are off after fail_file_operations.
void set_fault_style(bool partial, bool opens_too);
// Counts one such call; true when it is to fail.
bool injected_fault();
// The calls counted since fail_file_operations, so that a sweep knows when
// its operation ended before the call it meant to fail.
uint32_t file_operations_counted();
// The same for an open or create: counted only when opens_too is set.
bool injected_open_fault();
// True while the fault just injected is to move part of its bytes.
bool partial_faults();

}  // namespace vusk
