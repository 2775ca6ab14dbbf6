#pragma once

// What every window of the program is given when it is created: the edition, the one
// scheduler, the desktop services, the program-wide format settings, the main window's
// job list, and the program's windows (to reach the ones it works with).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/JobList.h"
#include "controls/MultiLangue.h"
#include "model/Format.h"
#include "runtime/Scheduler.h"

class TUiServices;
class SerialBackend;
class HidBackend;

class TMainForm;
class TDessinForm;
class TStatusCommForm;
class TTraceForm;
class TErreurForm;
class TTstLoopForm;
class TTstXTForm;
class TTambForm;
class TDeriveForm;
class TAjustSAForm;
class TAjustCaptForm;
class TAjLINForm;
class TStatusXTForm;
class TNSForm;
class TE2PromForm;
class TAboutBox;
class TLoadForm;
class TXfertForm;
class TWarningAlrForm;
class TInputSelectForm;
class TMemoLogForm;
class TOfflineSelectForm;
class TTimeDateFrom;
class TCfgForm;

// The program's windows, in the order the program creates them; each is null until created.
struct TForms {
  TMainForm* MainForm = nullptr;
  TDessinForm* DessinForm = nullptr;
  TStatusCommForm* StatusCommForm = nullptr;
  TTraceForm* TraceForm = nullptr;
  TErreurForm* ErreurForm = nullptr;
  TTstLoopForm* TstLoopForm = nullptr;
  TTstXTForm* TstXTForm = nullptr;
  TTambForm* TambForm = nullptr;
  TDeriveForm* DeriveForm = nullptr;
  TAjustSAForm* AjustSAForm = nullptr;
  TAjustCaptForm* AjustCaptForm = nullptr;
  TAjLINForm* AjLINForm = nullptr;
  TStatusXTForm* StatusXTForm = nullptr;
  TNSForm* NSForm = nullptr;
  TE2PromForm* E2PromForm = nullptr;
  TAboutBox* AboutBox = nullptr;
  TLoadForm* LoadForm = nullptr;
  TXfertForm* XfertForm = nullptr;
  TWarningAlrForm* WarningAlrForm = nullptr;
  TInputSelectForm* InputSelectForm = nullptr;
  TMemoLogForm* MemoLogForm = nullptr;
  TOfflineSelectForm* OfflineSelectForm = nullptr;
  TTimeDateFrom* TimeDateFrom = nullptr;
  TCfgForm* CfgForm = nullptr;
};

// The back-ends the link's transports use; null gives the platform's own.
struct TBackends {
  std::function<std::unique_ptr<SerialBackend>()> Serial;
  std::shared_ptr<HidBackend> Hid;
};

struct TAppContext {
  TEdition& Edition;
  Scheduler& Sched;
  TUiServices& Ui;
  TFormatSettings& FormatSettings;
  TJobList& Jobs;
  TForms& Forms;
  TBackends Backends;
  std::vector<std::string> Args;  // the command-line parameters, program name excluded

  TLangue Langue() const { return Edition.Langue(); }
};
