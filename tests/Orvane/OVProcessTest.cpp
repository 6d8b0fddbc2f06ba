#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "Orvane/DecodingError.hpp"
#include "Orvane/OVProcess.hpp"

namespace {

using Object = Orvane::KeyedCoding::Object;

std::shared_ptr<Orvane::OVProcess> sampleProcess() {
  auto process = std::make_shared<Orvane::OVProcess>(4242, 1);
  process->cpu().time = 12.5;
  process->cpu().usage = 0.1f;
  process->memory().totalBytes = 18446744073709551615u;
  process->setSent(1);
  process->setReceived(2);
  process->setTraffic(3);
  process->setName("bäsh");
  return process;
}

TEST(OVProcessTest, EncodesTheNineKeysInOrderDecodesEveryFieldWithTheIdAndNonFiniteTimesAsZero) {
  auto process = sampleProcess();
  const Object object = process->encode();
  // The nine keys in this order (the comparison of ordered objects counts the order).
  Object expected = Object::parse(
      R"({"id": "", "pid": 4242, "ppid": 1, "cpu": {"time": 12.5, "usage": 0.10000000149011612},
          "memory": {"totalBytes": 18446744073709551615}, "sent": 1, "received": 2, "traffic": 3,
          "name": "bäsh"})");
  expected["id"] = process->id();
  EXPECT_EQ(object, expected);

  // Through the text form and back: the same id and every field as it was.
  auto decoded = Orvane::OVProcess::decode(Object::parse(object.dump()));
  EXPECT_EQ(*decoded, *process);
  EXPECT_EQ(decoded->encode(), object);
  Object lower = object;
  lower["id"] = "3f2504e0-4f89-41d3-9a0c-0305e82c3301";
  EXPECT_EQ(Orvane::OVProcess::decode(lower)->id(), "3F2504E0-4F89-41D3-9A0C-0305E82C3301");

  // Values that JSON cannot hold encode as zero and decode back.
  constexpr float infinity = std::numeric_limits<float>::infinity();
  for (const float value : {std::numeric_limits<float>::quiet_NaN(), infinity, -infinity}) {
    process->cpu().time = value;
    process->cpu().usage = value;
    decoded = Orvane::OVProcess::decode(Object::parse(process->encode().dump()));
    EXPECT_EQ(decoded->cpu().time, 0.0);
    EXPECT_EQ(decoded->cpu().usage, 0.0f);
  }
}

TEST(OVProcessTest, AMissingOrMistypedKeyFailsTheWholeDecoding) {
  const Object good = sampleProcess()->encode();
  auto fails = [](const Object& object, const std::string& key) {
    EXPECT_THAT([&] { Orvane::OVProcess::decode(object); },
                testing::ThrowsMessage<Orvane::DecodingError>(testing::HasSubstr('"' + key + '"')));
  };
  for (const char* key : {"id", "pid", "ppid", "cpu", "memory", "sent", "received", "traffic", "name"}) {
    Object missing = good;
    missing.erase(key);
    fails(missing, key);
  }
  auto with = [&](const char* key, Object value) {
    Object changed = good;
    changed[key] = std::move(value);
    return changed;
  };
  fails(with("id", "not-a-uuid"), "id");
  fails(with("id", 5), "id");
  fails(with("pid", 2147483648u), "pid");
  fails(with("pid", -2147483649), "pid");
  fails(with("pid", 1.5), "pid");
  fails(with("ppid", "1"), "ppid");
  fails(with("sent", -1), "sent");
  fails(with("traffic", 2.0), "traffic");
  fails(with("name", nullptr), "name");
  fails(with("cpu", Object{{"time", 1.0}}), "usage");
  fails(with("cpu", Object{{"time", 1.0}, {"usage", 1e39}}), "usage");
  fails(with("cpu", 3), "time");
  fails(with("memory", Object{{"totalBytes", "1"}}), "totalBytes");
  EXPECT_EQ(Orvane::OVProcess::decode(with("pid", -5))->pid(), -5);
  EXPECT_THROW(Orvane::OVProcess::decode(Object::array()), Orvane::DecodingError);
}

}  // namespace
