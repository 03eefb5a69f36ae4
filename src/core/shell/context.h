// The services of one run, handed to core code explicitly: the data folders, the trace log and
// the front-end seams. The program owns exactly one; every test builds its own.
#pragma once

#include "shell/data_folders.h"
#include "shell/seams.h"
#include "shell/trace_log.h"

namespace quillo {

class SettingsStore;  // the settings of the run (setup/)
class TextLookup;     // interface texts and messages in the active language (language/)
struct LoginState;    // the logged-in user and the settings folder in force (setup/)

struct Context {
  DataFolders folders;
  TraceLog trace;
  MessageBox* msgBox = nullptr;
  StatusLine* status = nullptr;
  BusyIndicator* busy = nullptr;
  ProgressWorker* progress = nullptr;
  Clock* clock = nullptr;
  RandomSource* random = nullptr;
  // Filled by the layers above once they exist; null in tests that do not need them.
  SettingsStore* settings = nullptr;
  TextLookup* lookup = nullptr;
  LoginState* login = nullptr;
};

}  // namespace quillo
