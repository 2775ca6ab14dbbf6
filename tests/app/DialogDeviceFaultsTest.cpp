// Dialogs whose device stops answering or refuses (a response code) in the middle of their
// exchange: only the dialog's own request goes out meanwhile, with the values the user
// gave; the dialog can always be left; once left, its list ends, and when the device
// answers again nothing more than the request under way completes.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "app/Ajsa.h"
#include "app/Derive.h"
#include "app/E2Prom.h"
#include "app/Erreur.h"
#include "app/Tamb.h"
#include "app/TimeDate.h"
#include "app/tstloop.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {

constexpr double Ms = 1.0 / 86400000.0;

float F32(const SimRequest& r) {
  if (r.Data.size() < 4) return -1.0f;
  const std::uint32_t bits = static_cast<std::uint32_t>(r.Data[0]) << 24 | static_cast<std::uint32_t>(r.Data[1]) << 16 |
                             static_cast<std::uint32_t>(r.Data[2]) << 8 | r.Data[3];
  float f = 0;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

enum class TFault { Silent, Refuses };

void Misbehave(AppWorld& w, TFault fault, bool on) {
  if (fault == TFault::Silent) {
    w.Sim.Faults.Silent = on;
  } else {
    w.Sim.Faults.ResponseCode = on ? 16 : 0;  // access denied
  }
}

// A request the device received, the virtual time the program sent it, and the fault.
using TRequestCheck = std::function<bool(const AppWorld&, const SimRequest&, std::int64_t sentAt, TFault)>;

struct Scenario {
  const char* Name;
  // Opens the dialog and lets it talk to a device that answers.
  std::function<void(AppWorld&)> Open;
  // What the user does once the device misbehaves (may be empty).
  std::function<void(AppWorld&)> Act;
  // A request that may go out while the device misbehaves and the dialog is open.
  TRequestCheck WhileOpen;
  // Leaves the dialog.
  std::function<void(AppWorld&)> Leave;
  // A request that may go out once the dialog was left.
  TRequestCheck AfterLeaving;
  // What the dialog shows at the end.
  std::function<void(AppWorld&, TFault)> Check;
};

TForms& Forms(AppWorld& w) { return w.Program->Forms; }

// The requests the program has handed to the line so far, as indexes of the device's record.
std::size_t Issued(const AppWorld& w, std::size_t offset) { return w.Fake.Sent.size() - offset; }

// The clock dialog's computer clock runs in virtual time from 15/03/2024 10:00:00.
TDateTime ClockBase() { return *TryEncodeDate(2024, 3, 15) + *TryEncodeTime(10, 0, 0, 0); }

// A clock setting carries the computer's date and its time at the sending, advanced by an
// exchange delay (well under a second here).
bool FreshClockSetting(const SimRequest& r, std::int64_t sentAt) {
  if (r.Data.size() < 8 || r.Data[1] != 15 || r.Data[2] != 3 || r.Data[3] != 124) return false;
  const std::uint32_t ticks = static_cast<std::uint32_t>(r.Data[4]) << 24 | static_cast<std::uint32_t>(r.Data[5]) << 16 |
                              static_cast<std::uint32_t>(r.Data[6]) << 8 | r.Data[7];
  const double late = ticks / 32.0 - 10.0 * 3600000.0 - static_cast<double>(sentAt);
  return late >= -100 && late <= 1500;
}

std::vector<Scenario> Scenarios() {
  return {
      {"current trim",
       [](AppWorld& w) {
         Forms(w).AjustSAForm->Tag = 0;
         Forms(w).AjustSAForm->Show();
         ASSERT_TRUE(w.AdvanceUntilRequests(1));
         w.Advance(1000);
       },
       [](AppWorld& w) {
         Forms(w).AjustSAForm->EdCurrent->SetText("3.9870");
         Forms(w).AjustSAForm->Button1->click();
       },
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) { return r.Command == 45 && F32(r) == 3.987f; },
       [](AppWorld& w) { Forms(w).AjustSAForm->Close(); },
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) { return r.Command == 40 && F32(r) == 0.0f; },
       [](AppWorld& w, TFault fault) {
         EXPECT_FALSE(Forms(w).AjustSAForm->Visible());
         if (fault == TFault::Silent) {
           EXPECT_EQ(w.Sim.State.FixedCurrent, 0.0f) << "out of the fixed-current mode";
         }
       }},
      {"loop test",
       [](AppWorld& w) {
         TTstLoopForm& f = *Forms(w).TstLoopForm;
         f.Show();
         f.ck20->click();
         f.btGO->click();
         ASSERT_TRUE(w.AdvanceUntilRequests(1));
         w.Advance(1000);
       },
       [](AppWorld& w) {
         TTstLoopForm& f = *Forms(w).TstLoopForm;
         f.RadioButtonLangue1->click();
         f.EdTestVal->SetText("12.00");
         f.btGO->click();
       },
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) { return r.Command == 40 && F32(r) == 12.0f; },
       [](AppWorld& w) { Forms(w).TstLoopForm->BitBtnLangue1->click(); },
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) { return r.Command == 40 && F32(r) == 0.0f; },
       [](AppWorld& w, TFault fault) {
         EXPECT_FALSE(Forms(w).TstLoopForm->Visible());
         if (fault == TFault::Silent) {
           EXPECT_EQ(w.Sim.State.FixedCurrent, 0.0f);
         }
       }},
      {"EEPROM read of all words",
       [](AppWorld& w) {
         Forms(w).E2PromForm->Show();
         Forms(w).E2PromForm->BtReadAll->click();
         ASSERT_TRUE(w.AdvanceUntilRequests(3));
       },
       nullptr,
       // the word asked for when the device stopped, and no other
       [](const AppWorld& w, const SimRequest& r, std::int64_t, TFault) {
         return r.Command == 192 && !r.Data.empty() && r.Data[0] == w.Xmt().EepromAddress;
       },
       [](AppWorld& w) {
         ASSERT_TRUE(Forms(w).E2PromForm->ReadingAll);
         Forms(w).E2PromForm->BtReadAll->click();  // "Stop!"
         Forms(w).E2PromForm->Close();
       },
       // the read under way is repeated until the device answers it
       [](const AppWorld& w, const SimRequest& r, std::int64_t, TFault) {
         return r.Command == 192 && !r.Data.empty() && r.Data[0] == w.Xmt().EepromAddress;
       },
       [](AppWorld& w, TFault) {
         TE2PromForm& f = *Forms(w).E2PromForm;
         EXPECT_FALSE(f.ReadingAll);
         EXPECT_TRUE(f.GrCell->isEnabled());
         EXPECT_EQ(f.BtReadAll->ShownCaption(), "Read all");
       }},
      {"ambient temperature loop",
       [](AppWorld& w) {
         Forms(w).TambForm->Show();
         ASSERT_TRUE(w.AdvanceUntilRequests(2));
       },
       [](AppWorld& w) {
         Forms(w).TambForm->EdTamb->SetText("23.5");
         Forms(w).TambForm->BtTamb->click();
       },
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) {
         return r.Command == 198 || (r.Command == 129 && F32(r) == 23.5f);
       },
       [](AppWorld& w) { Forms(w).TambForm->BtRetour->click(); },
       [](const AppWorld&, const SimRequest&, std::int64_t, TFault) { return false; },
       [](AppWorld& w, TFault) { EXPECT_FALSE(Forms(w).TambForm->Visible()); }},
      {"clock loop",
       [](AppWorld& w) {
         TTimeDateFrom& f = *Forms(w).TimeDateFrom;
         f.Now = [&w] { return ClockBase() + static_cast<double>(w.Sched.NowMs()) * Ms; };
         f.Show();
         f.PageControl1->setCurrentIndex(1);
         ASSERT_TRUE(w.AdvanceUntilRequests(2));
         w.Advance(300);
       },
       [](AppWorld& w) { Forms(w).TimeDateFrom->BtnSynchro->click(); },
       // measuring requests; settings (repeated while unanswered) with the time of their sending
       [](const AppWorld&, const SimRequest& r, std::int64_t sentAt, TFault) {
         if (r.Command != 89 || r.Data.empty()) return false;
         return r.Data[0] == 0 || (r.Data[0] == 1 && FreshClockSetting(r, sentAt));
       },
       [](AppWorld& w) { Forms(w).TimeDateFrom->BtnClose->click(); },
       [](const AppWorld&, const SimRequest&, std::int64_t, TFault) { return false; },
       [](AppWorld& w, TFault) {
         EXPECT_FALSE(Forms(w).TimeDateFrom->Visible());
         EXPECT_FALSE(Forms(w).TimeDateFrom->DateTimeTimer.Enabled());
       }},
      {"thermal drift read",
       [](AppWorld& w) { Forms(w).DeriveForm->Show(); },  // the read goes out at the next tick
       nullptr,
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) { return r.Command == 200; },
       [](AppWorld& w) {
         TDeriveForm& f = *Forms(w).DeriveForm;
         EXPECT_FALSE(f.BtCalcul->isEnabled()) << "no coefficients read, nothing to compute";
         EXPECT_FALSE(f.BtEcriture->isEnabled());
         f.BtRetour->click();
       },
       // the read under way is repeated until the device answers it
       [](const AppWorld&, const SimRequest& r, std::int64_t, TFault) { return r.Command == 200; },
       [](AppWorld& w, TFault) { EXPECT_FALSE(Forms(w).DeriveForm->Visible()); }},
  };
}

TEST(DialogDeviceFaults, TheDialogCanBeLeftAndNothingWrongIsSent) {
  for (const Scenario& s : Scenarios()) {
    for (const TFault fault : {TFault::Silent, TFault::Refuses}) {
      SCOPED_TRACE(std::string(s.Name) + (fault == TFault::Silent ? ", silent device" : ", refusing device"));
      AppWorld w;
      w.Sim.Identity.DeviceType = 0x00;  // the maker's device with every command of these dialogs
      w.Connect();
      const std::size_t offset = w.Fake.Sent.size() - w.Sim.Requests.size();  // sends not for the device
      w.Main().Evenement.SetInterval(50);
      s.Open(w);
      if (::testing::Test::HasFatalFailure()) return;

      Misbehave(w, fault, true);
      // Requests are counted from the program's sends: one still on the line when the user
      // acts was issued before.
      std::size_t from = Issued(w, offset);
      if (s.Act) s.Act(w);
      w.Advance(8000);
      EXPECT_GT(w.Sim.Requests.size(), from) << "the dialog's request goes out";
      for (std::size_t i = from; i < w.Sim.Requests.size(); ++i) {
        const SimRequest& r = w.Sim.Requests[i];
        EXPECT_TRUE(s.WhileOpen(w, r, w.Fake.Sent.at(i + offset).AtMs, fault)) << "command " << int{r.Command};
      }

      s.Leave(w);
      from = Issued(w, offset);
      w.Advance(8000);
      Misbehave(w, fault, false);
      w.Advance(8000);
      for (std::size_t i = from; i < w.Sim.Requests.size(); ++i) {
        const SimRequest& r = w.Sim.Requests[i];
        EXPECT_TRUE(s.AfterLeaving(w, r, w.Fake.Sent.at(i + offset).AtMs, fault)) << "command " << int{r.Command};
      }
      const std::size_t settled = w.Sim.Requests.size();
      w.Advance(10000);
      EXPECT_EQ(w.Sim.Requests.size(), settled) << "the list has ended";
      EXPECT_FALSE(w.Jobs().Busy);
      if (fault == TFault::Refuses) {
        EXPECT_TRUE(Forms(w).ErreurForm->Visible()) << "the refusal is shown";
      }
      s.Check(w, fault);
    }
  }
}

}  // namespace
