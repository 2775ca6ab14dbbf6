#include <set>

#include "HARTTestFrames.h"

using namespace hart_test;

namespace {

const std::array<int, 5> Dev{0x26, 0x10, 0x0A, 0x0B, 0x0C};

struct CodeCase {
  int code;
  int command;
  std::string message;
};

}  // namespace

TEST_F(LinkFixture, ResponseCodeMessagesPerAnsweredCommand) {
  Address();
  const std::vector<CodeCase> cases = {
      {2, 1, "Invalid selection"},
      {3, 35, "Passed parameter too large"},
      {4, 35, "Passed parameter too small"},
      {5, 18, "Too few parameters"},
      {6, 136, "Warning range updated"},
      {6, 35, "Device error n\xB0" "06"},
      {7, 18, "Write protected"},
      {9, 35, "Lower range value too high"},
      {9, 65, "Lower range value too high"},
      {9, 36, "Applied process too high"},
      {9, 52, "Applied process too high"},
      {9, 45, "Access denied in multidrop mode"},
      {9, 132, "Access denied in multidrop mode"},
      {9, 211, "Alarm set point too high"},
      {9, 34, "Device error n\xB0" "09"},
      {10, 35, "Lower range value too low"},
      {10, 43, "Applied process too low"},
      {10, 212, "Alarm set point too low"},
      {10, 45, "Device error n\xB0" "0A"},
      {11, 65, "Upper range value too high"},
      {11, 40, "Access denied in multidrop mode"},
      {11, 68, "Access denied in multidrop mode"},
      {11, 211, "Alarm hysteresis too high"},
      {11, 131, "Device error n\xB0" "0B"},
      {12, 35, "Upper range value too low"},
      {12, 212, "Alarm hysteresis too low"},
      {12, 40, "Device error n\xB0" "0C"},
      {13, 134, "Passed parameters out of limit"},
      {13, 135, "Passed parameters out of limit"},
      {13, 36, "Device error n\xB0" "0D"},
      {14, 36, "Span too small"},
      {14, 37, "Device error n\xB0" "0E"},
      {16, 206, "Access denied"},
      {20, 211, "Passed parameters out of limit"},
      {20, 35, "Device error n\xB0" "14"},
      {32, 1, "Device busy"},
      {64, 199, "Unknown command (C7)"},
      {64, 6, "Unknown command (06)"},
      {1, 1, "Device specific error n\xB0" "01"},
      {33, 1, "Device specific error n\xB0" "21"},
      {127, 1, "Device specific error n\xB0" "7F"},
  };
  for (const auto& c : cases) {
    hart.ReadPrimaryVariable(xmt);
    fake.Deliver(LongAnswer(Dev, c.command, c.code, 0x10, Bytes({0x20, 0x41, 0x20, 0x00, 0x00})));
    sched.Advance(140);
    EXPECT_EQ(xmt.GetErrorMessage(), c.message) << c.code << " to " << c.command;
    EXPECT_EQ(xmt.GetErrorCode(), c.code);
    EXPECT_EQ(xmt.Erreur->Level, 5);  // every answer reports with +10
    EXPECT_EQ(xmt.GetDeviceStatus(), 0x10);
    EXPECT_EQ(hart.LastCommand, -1) << "nothing decoded";
  }
  EXPECT_FLOAT_EQ(xmt.PV, 0.0f);
}

TEST(ResponseCodeTable, EveryCodeToACommandWithoutSpecialMeaning) {
  VirtualScheduler sched;
  THART hart(sched);
  const std::set<int> deviceError{6, 9, 10, 11, 12, 13, 14, 20};
  const std::set<int> ownText{2, 3, 4, 5, 7, 16, 32, 64};
  for (int code = 1; code < 128; ++code) {
    const std::string m = hart.ResponseCodeMessage(code, 1);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", code);
    if (deviceError.count(code))
      EXPECT_EQ(m, std::string("Device error n\xB0") + hex);
    else if (!ownText.count(code))
      EXPECT_EQ(m, std::string("Device specific error n\xB0") + hex);
    else
      EXPECT_EQ(m.find("error"), std::string::npos) << code;
  }
}

TEST(ResponseCodeTable, FrenchEditionWordings) {
  VirtualScheduler sched;
  THART hart(sched, TLangue::Francais);
  EXPECT_EQ(hart.ResponseCodeMessage(7, 18), "Prot\xE9g\xE9 en \xE9" "criture");
  EXPECT_EQ(hart.ResponseCodeMessage(9, 34), "Erreur appareil n\xB0" "09");
  EXPECT_EQ(hart.ResponseCodeMessage(33, 1), "Erreur sp\xE9" "cifique de l'appareil n\xB0" "21");
  EXPECT_EQ(hart.ResponseCodeMessage(64, 199), "Commande inconnue (C7)");
}

TEST_F(LinkFixture, SuccessfulAnswersAreDispatchedAndMarkTheModelConnected) {
  Address();
  int connects = 0;
  xmt.OnConnect = [&](TObject*) { ++connects; };

  // Code 0 to a command without decoder: only the command is kept.
  hart.WriteSegment(xmt, 3, 1.0f, 2.0f);
  fake.Deliver(LongAnswer(Dev, 201, 0, 0, std::string(9, '\0')));
  sched.Advance(140);
  EXPECT_EQ(hart.LastCommand, 201);
  EXPECT_EQ(xmt.GetErrorMessage(), "");
  EXPECT_EQ(xmt.GetErrorCode(), 0);
  EXPECT_EQ(connects, 1);  // the answer came from the model's device id

  // A long answer from another device id is decoded all the same, without connecting.
  xmt.SetConnected(0);
  fake.Deliver(LongAnswer({0x26, 0x10, 0x0A, 0x0B, 0x0D}, 2, 0, 0,
                          Bytes({0x41, 0x40, 0x00, 0x00, 0x42, 0x48, 0x00, 0x00})));
  sched.Advance(140);
  EXPECT_EQ(hart.LastCommand, 2);
  EXPECT_FLOAT_EQ(xmt.LoopCurrent, 12.0f);
  EXPECT_FLOAT_EQ(xmt.PercentOfRange, 50.0f);
  EXPECT_EQ(xmt.GetConnected(), 0);

  // Command 6: the new polling address goes to the link and the model.
  fake.Deliver(LongAnswer(Dev, 6, 0, 0, Bytes({0x09})));
  sched.Advance(140);
  EXPECT_EQ(hart.PollingAddress, 9);
  EXPECT_EQ(xmt.PollingAddress, 9);
  EXPECT_EQ(xmt.LiveRecord.GetByte(TXmtRecord::OffPollingAddress), 9);
  EXPECT_EQ(connects, 2);  // the model's own device again

  // A short identity answer: decoded, then the answer's polling address goes to the model.
  const std::string identity = Bytes({0xFE, 0xFA, 0x16, 0x05, 0x05, 0x01, 0x01, 0x08, 0x00, 0x01, 0x02, 0x03});
  fake.Deliver(ShortAnswer(0x83, 0, 0, 0, identity));
  sched.Advance(140);
  EXPECT_EQ(hart.LastCommand, 0);
  EXPECT_EQ(xmt.ManufacturerId, 250);
  EXPECT_EQ(xmt.DeviceType, 0x16);
  EXPECT_EQ(xmt.DeviceId, 0x010203);
  EXPECT_EQ(hart.PollingAddress, 3);
  EXPECT_EQ(xmt.PollingAddress, 3);
  EXPECT_EQ(xmt.LiveRecord.GetByte(TXmtRecord::OffPollingAddress), 3);
  EXPECT_EQ(xmt.GetConnected(), 1);  // by the identity decoder

  // A master's request seen on the line (frame type 2) is not an answer.
  hart.ReadCurrentAndPercent(xmt);
  std::string request = Bytes({0x82, 0x26, 0x10, 0x0A, 0x0B, 0x0C, 0x02, 0x02, 0x00, 0x00});
  request += XorAll(request);
  fake.Deliver(std::string(5, '\xFF') + request);
  sched.Advance(140);
  EXPECT_EQ(hart.AnswerFrameType, 2);
  EXPECT_EQ(hart.LastCommand, -1);
}

TEST_F(LinkFixture, ACommand6AnswerWithoutItsDataByteReadsNothingPastTheAnswer) {
  hart.PollingAddress = 5;
  xmt.SetPollAddress(5);
  // An answer whose data span is empty, with a length after the frame that a read past the
  // answer would take for the address.
  hart.AnswerCommand = 6;
  hart.AnswerLength = 0x47;
  hart.AnswerDataPosition = TCustomHART::AnswerFrameSize;
  ASSERT_TRUE(hart.AnswerData().empty());

  hart.DecodeResponse(xmt);
  // The missing byte reads as 0, as in every decoder.
  EXPECT_EQ(hart.LastCommand, 6);
  EXPECT_EQ(hart.PollingAddress, 0);
  EXPECT_EQ(xmt.PollingAddress, 0);
  EXPECT_EQ(xmt.LiveRecord.GetByte(TXmtRecord::OffPollingAddress), 0);
}
