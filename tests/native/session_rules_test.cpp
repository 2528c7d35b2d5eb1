// The ogg guard and the failure texts of the playback session.
#include <gtest/gtest.h>

#include <cstring>

#include "player/session_rules.h"

TEST(SessionRules, OggGuardLooksForTwoSpellingsAnywhereInThePath) {
  EXPECT_TRUE(IsRefusedOggPath("C:\\Music\\song.ogg", 0));
  EXPECT_TRUE(IsRefusedOggPath("C:\\Music\\SONG.OGG", 0));
  EXPECT_TRUE(IsRefusedOggPath("C:\\old.ogg.files\\song.wav", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.Ogg", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.oGG", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.wav", 0));
  EXPECT_FALSE(IsRefusedOggPath("C:\\Music\\song.ogg", 1));
}

TEST(SessionRules, ThirteenCodesHaveTheirMessages) {
  struct Expected {
    unsigned long code;
    const char *message;
  } const table[] = {
      {0x80004004UL, "操作が中止された。"},
      {0x80004005UL, "失敗。"},
      {0x80070057UL, " 引数が無効。"},
      {0x8007000EUL, "メモリ不足。"},
      {0x80004003UL, " NULL ポインタ引数。"},
      {0x80040217UL, "接続を確立する中間フィルタの組合せが見つからない。"},
      {0x80040241UL, "このﾌｧｲﾙのｿｰｽﾌｨﾙﾀをﾛｰﾄﾞできない。"},
      {0x80040218UL, "ｽﾄﾘｰﾑをﾚﾝﾀﾞﾘﾝｸﾞするﾌｨﾙﾀの組み合わせが見つからない。"},
      {0x8004022FUL, "ファイル フォーマットが無効。"},
      {0x80040216UL, "オブジェクトまたは名前が見つからなかった。"},
      {0x8004025FUL, "ﾌｨﾙﾀｸﾞﾗﾌに存在しないobjectに要求された関数を実行できない。"},
      {0x80040240UL, "このファイルのメディア タイプが認識されない。"},
      {0x80040265UL, "ﾌｧｲﾙを再生できない。ﾌｫｰﾏｯﾄがサポートされていない。"},
  };
  for (const Expected &e : table) {
    // As an HRESULT arrives: a negative 32-bit value.
    long code = static_cast<long>(static_cast<int>(static_cast<unsigned int>(e.code)));
    const char *message = GraphErrorMessage(code);
    ASSERT_NE(nullptr, message) << std::hex << e.code;
    EXPECT_STREQ(e.message, message) << std::hex << e.code;
  }
  // Half-width katakana are single bytes of code page 932.
  EXPECT_EQ(0xCC, GraphErrorMessage(static_cast<int>(0x80040241U))[4] & 0xFF);  // ﾌ
}

TEST(SessionRules, OtherCodesHaveNoMessage) {
  EXPECT_EQ(nullptr, GraphErrorMessage(0));
  EXPECT_EQ(nullptr, GraphErrorMessage(1));
  EXPECT_EQ(nullptr, GraphErrorMessage(static_cast<int>(0x80040200U)));
  EXPECT_EQ(nullptr, GraphErrorMessage(static_cast<int>(0x80070002U)));
}

TEST(SessionRules, CreateMessagesKeepTheirDashes) {
  EXPECT_STREQ("ERROR - Could not create the Filter Graph Manager.", CannotCreateGraphMessage);
  EXPECT_STREQ("ERROR--Could not obtain the Media Control interface.", NoMediaControlMessage);
  EXPECT_STREQ("ERROR-Could not obtain the Media Event interface.", NoMediaEventMessage);
  EXPECT_STREQ("Create", CreateCaption);
}
