#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <vector>

#include "controls/Draw.h"
#include "controls/Group.h"
#include "controls/Led.h"
#include "controls/MultiLangue.h"
#include "controls/MyControls.h"
#include "controls/SEGMENTS.h"
#include "controls/UnitsControl.h"
#include "support/VirtualScheduler.h"

// Windows find their controls by type: qobject_cast and findChild must tell each control
// class from its base widget and from its look-alikes.

namespace {

struct ControlTypes : ::testing::Test {
  VirtualScheduler sched;
  TEdition edition{TLangue::Anglais};
  QWidget form;
  TButtonLangue* button = new TButtonLangue(edition, &form);
  TBitBtnLangue* bitBtn = new TBitBtnLangue(edition, &form);
  TBitBtnAlt* bitBtnAlt = new TBitBtnAlt(&form);
  TLabelLangue* label = new TLabelLangue(edition, &form);
  TCheckBoxLangue* checkBox = new TCheckBoxLangue(edition, &form);
  TRadioButtonLangue* radio = new TRadioButtonLangue(edition, &form);
  TGroupBoxLangue* groupBox = new TGroupBoxLangue(edition, &form);
  TPanel* panel = new TPanel(&form);
  TPanelLangue* panelLangue = new TPanelLangue(edition, &form);
  Tled* led = new Tled(&form);
  TledLangue* ledLangue = new TledLangue(edition, &form);
  TGroupLed* groupLed = new TGroupLed(&form);  // eight lamps of its own
  TSEG* seg = new TSEG(&form);
  TUnits* units = new TUnits(sched, TLangue::Anglais, &form);  // with its trace
  TDraw* draw = new TDraw(TLangue::Anglais, &form);
};

}  // namespace

TEST_F(ControlTypes, EachControlHasItsOwnMetaObject) {
  const std::vector<std::pair<QObject*, std::string>> controls = {
      {button, "TButtonLangue"}, {bitBtn, "TBitBtnLangue"}, {bitBtnAlt, "TBitBtnAlt"},
      {label, "TLabelLangue"},   {checkBox, "TCheckBoxLangue"}, {radio, "TRadioButtonLangue"},
      {groupBox, "TGroupBoxLangue"}, {panel, "TPanel"}, {panelLangue, "TPanelLangue"},
      {led, "Tled"}, {ledLangue, "TledLangue"}, {groupLed, "TGroupLed"},
      {seg, "TSEG"}, {units, "TUnits"}, {&units->Trace(), "TTrace"}, {draw, "TDraw"}};
  for (const auto& [object, name] : controls) EXPECT_EQ(object->metaObject()->className(), name);
  // The base widget stays reachable through the meta-object.
  EXPECT_TRUE(bitBtn->inherits("QPushButton"));
  EXPECT_TRUE(panelLangue->inherits("TPanel"));
  EXPECT_TRUE(ledLangue->inherits("Tled"));
}

TEST_F(ControlTypes, FindChildAndQobjectCastTellLookAlikesApart) {
  EXPECT_EQ(form.findChild<TBitBtnLangue*>(), bitBtn);
  EXPECT_EQ(form.findChild<TButtonLangue*>(), button);
  EXPECT_EQ(form.findChildren<TBitBtnLangue*>().size(), 1);
  EXPECT_EQ(form.findChildren<TButtonLangue*>().size(), 1);
  EXPECT_EQ(form.findChild<TBitBtnAlt*>(), bitBtnAlt);
  EXPECT_EQ(form.findChildren<QPushButton*>().size(), 3);

  EXPECT_EQ(qobject_cast<TBitBtnLangue*>(button), nullptr);
  EXPECT_EQ(qobject_cast<TButtonLangue*>(bitBtn), nullptr);
  EXPECT_EQ(qobject_cast<TBitBtnAlt*>(static_cast<QPushButton*>(bitBtn)), nullptr);
  EXPECT_EQ(qobject_cast<TCheckBoxLangue*>(static_cast<QWidget*>(radio)), nullptr);

  EXPECT_EQ(form.findChildren<TPanel*>().size(), 2) << "TPanelLangue is a TPanel";
  EXPECT_EQ(form.findChildren<TPanelLangue*>().size(), 1);
  EXPECT_EQ(form.findChildren<Tled*>().size(), 1 + 1 + 8) << "the lamp, the two-language lamp and the group's";
  EXPECT_EQ(form.findChildren<TledLangue*>().size(), 1);
  EXPECT_EQ(qobject_cast<TledLangue*>(static_cast<QWidget*>(led)), nullptr);
  EXPECT_EQ(form.findChild<TTrace*>(), &units->Trace());
  EXPECT_EQ(form.findChild<TGroupLed*>(), groupLed);
  EXPECT_EQ(form.findChild<TSEG*>(), seg);
  EXPECT_EQ(form.findChild<TDraw*>(), draw);
  EXPECT_EQ(form.findChild<TUnits*>(), units);
}
