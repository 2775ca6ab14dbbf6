#include "app/Program.h"

#include <QCoreApplication>

#include "app/About.h"
#include "app/Ajlin.h"
#include "app/Ajmes.h"
#include "app/Ajsa.h"
#include "app/commcfg.h"
#include "app/Derive.h"
#include "app/Dessin.h"
#include "app/E2Prom.h"
#include "app/Erreur.h"
#include "app/InSelect.h"
#include "app/load.h"
#include "app/main.h"
#include "app/Memolog.h"
#include "app/Ns.h"
#include "app/OfflineSelect.h"
#include "app/StatusComm.h"
#include "app/StatusXT.h"
#include "app/Tamb.h"
#include "app/TimeDate.h"
#include "app/Trace.h"
#include "app/tstloop.h"
#include "app/tstXT.h"
#include "app/WrnAlr.h"
#include "app/Xfert.h"

// The windows, destroyed in the reverse order of their creation.
struct TProgram::TOwned {
  std::unique_ptr<TMainForm> MainForm;
  std::unique_ptr<TDessinForm> DessinForm;
  std::unique_ptr<TStatusCommForm> StatusCommForm;
  std::unique_ptr<TTraceForm> TraceForm;
  std::unique_ptr<TErreurForm> ErreurForm;
  std::unique_ptr<TTstLoopForm> TstLoopForm;
  std::unique_ptr<TTstXTForm> TstXTForm;
  std::unique_ptr<TTambForm> TambForm;
  std::unique_ptr<TDeriveForm> DeriveForm;
  std::unique_ptr<TAjustSAForm> AjustSAForm;
  std::unique_ptr<TAjustCaptForm> AjustCaptForm;
  std::unique_ptr<TAjLINForm> AjLINForm;
  std::unique_ptr<TStatusXTForm> StatusXTForm;
  std::unique_ptr<TNSForm> NSForm;
  std::unique_ptr<TE2PromForm> E2PromForm;
  std::unique_ptr<TAboutBox> AboutBox;
  std::unique_ptr<TLoadForm> LoadForm;
  std::unique_ptr<TXfertForm> XfertForm;
  std::unique_ptr<TWarningAlrForm> WarningAlrForm;
  std::unique_ptr<TInputSelectForm> InputSelectForm;
  std::unique_ptr<TMemoLogForm> MemoLogForm;
  std::unique_ptr<TOfflineSelectForm> OfflineSelectForm;
  std::unique_ptr<TTimeDateFrom> TimeDateFrom;
  std::unique_ptr<TCfgForm> CfgForm;
};

namespace {
template <class T>
T* Create(std::unique_ptr<T>& owner, TAppContext& app) {
  owner = std::make_unique<T>(app);
  return owner.get();
}
}  // namespace

TProgram::TProgram(TLangue langue, Scheduler& scheduler, TUiServices& ui, const TFormatSettings& formatSettings,
                   TBackends backends, std::vector<std::string> args)
    : Edition(langue),
      FormatSettings(formatSettings),
      App{Edition, scheduler, ui, FormatSettings, Jobs, Forms, std::move(backends), std::move(args)},
      owned_(std::make_unique<TOwned>()) {
  // The application's title, the same in both editions. It is its name only: a display name
  // of its own would be added to every window's caption by the desktop.
  QCoreApplication::setApplicationName(QStringLiteral("Logiciel Ostrel"));
  TOwned& o = *owned_;
  Forms.MainForm = Create(o.MainForm, App);
  Forms.DessinForm = Create(o.DessinForm, App);
  Forms.StatusCommForm = Create(o.StatusCommForm, App);
  Forms.TraceForm = Create(o.TraceForm, App);
  Forms.ErreurForm = Create(o.ErreurForm, App);
  Forms.TstLoopForm = Create(o.TstLoopForm, App);
  Forms.TstXTForm = Create(o.TstXTForm, App);
  Forms.TambForm = Create(o.TambForm, App);
  Forms.DeriveForm = Create(o.DeriveForm, App);
  Forms.AjustSAForm = Create(o.AjustSAForm, App);
  Forms.AjustCaptForm = Create(o.AjustCaptForm, App);
  Forms.AjLINForm = Create(o.AjLINForm, App);
  Forms.StatusXTForm = Create(o.StatusXTForm, App);
  Forms.NSForm = Create(o.NSForm, App);
  Forms.E2PromForm = Create(o.E2PromForm, App);
  Forms.AboutBox = Create(o.AboutBox, App);
  Forms.LoadForm = Create(o.LoadForm, App);
  Forms.XfertForm = Create(o.XfertForm, App);
  Forms.WarningAlrForm = Create(o.WarningAlrForm, App);
  Forms.InputSelectForm = Create(o.InputSelectForm, App);
  Forms.MemoLogForm = Create(o.MemoLogForm, App);
  Forms.OfflineSelectForm = Create(o.OfflineSelectForm, App);
  Forms.TimeDateFrom = Create(o.TimeDateFrom, App);
  Forms.CfgForm = Create(o.CfgForm, App);
}

// The main window's link stops first, then the windows go in the reverse order.
TProgram::~TProgram() {
  owned_->MainForm->FormClose();
  Forms = TForms{};
}
