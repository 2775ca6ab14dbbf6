#pragma once

// The program's objects: the edition, the job list and every window, created once in the
// start-up order and owned here, after the application's title is set. The programs' main()
// makes one; each test makes its own.

#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"

class TProgram {
public:
  TProgram(TLangue langue, Scheduler& scheduler, TUiServices& ui, const TFormatSettings& formatSettings,
           TBackends backends = {}, std::vector<std::string> args = {});
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  TEdition Edition;
  TFormatSettings FormatSettings;
  TJobList Jobs;
  TForms Forms;
  TAppContext App;

  TMainForm& MainForm() const { return *Forms.MainForm; }

private:
  struct TOwned;
  std::unique_ptr<TOwned> owned_;
};
