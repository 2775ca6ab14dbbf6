// The error window: the message its caller gives, its caption in both editions, its button.

#include <gtest/gtest.h>

#include "app/Erreur.h"
#include "app/StdCtrls.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

TEST(ErreurTest, ShowsTheCallersMessageUnderItsCaption) {
  struct Case {
    TLangue langue;
    const char* caption;
  };
  for (const Case& c : {Case{TLangue::Anglais, "Last error"}, Case{TLangue::Francais, "Derni\xE8re erreur"}}) {
    AppWorld world(c.langue);
    TErreurForm& f = *world.Program->Forms.ErreurForm;
    f.SetCaption("something else");
    f.ShowError("Acc\xE8s refus\xE9");  // Windows-1252, as the model's messages are
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.Caption(), c.caption);
    EXPECT_EQ(f.LbErreur->Caption(), "Acc\xE8s refus\xE9");
    EXPECT_EQ(f.LbErreur->text(), QString::fromUtf8("Accès refusé"));
    f.ShowError("Bad segment number");  // a second message while it is open replaces the first
    EXPECT_EQ(f.LbErreur->Caption(), "Bad segment number");
    f.BitBtn1->click();
    EXPECT_FALSE(f.Visible());
  }
}
