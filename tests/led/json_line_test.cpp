#include "tests/support/json_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "simdriver/call_log.h"

namespace {

TEST(JsonLine, ReadsFlatObjectsAndRefusesTheRest) {
    struct Case {
        const char* line;
        bool parses;
    };
    const Case cases[] = {
        {R"({})", true},
        {R"({"t":12,"call":"NvAPI_I2CWriteEx","on":true,"x":null})", true},
        {R"( { "a" : -5 , "b" : "q\"uote\\d" } )", true},
        {R"({"a":1,})", false},
        {R"({"a":1)", false},
        {R"({"a":{"b":1}})", false},
        {R"({"a":[1]})", false},
        {R"({"a":"open})", false},
        {R"({"a":-})", false},
        {R"({"a":1} trailing)", false},
        {R"()", false},
    };
    for (const Case& c : cases) {
        jsonline::Object object;
        EXPECT_EQ(jsonline::Object::Parse(c.line, object), c.parses) << c.line;
    }
    jsonline::Object object;
    ASSERT_TRUE(jsonline::Object::Parse(R"({"a":-5,"b":"q\"uote\\d\u0001","c":false})", object));
    EXPECT_EQ(object.Number("a"), -5);
    EXPECT_EQ(object.Text("b"), std::string("q\"uote\\d\x01"));
    EXPECT_FALSE(object.Bool("c", true));
    EXPECT_EQ(object.Number("b", 7), 7);  // a text is no number
    EXPECT_FALSE(object.Has("d"));
}

// The reader understands the lines the simulated driver writes.
TEST(JsonLine, ReadsTheDriversCallLines) {
    simdriver::CallRecord record;
    record.milliseconds = 503;
    record.call = "NvAPI_I2CWriteEx";
    record.bus = 2;
    record.status = -5;
    record.hasI2c = true;
    record.info.version = NV_I2C_INFO_VER3;
    record.info.i2cDevAddress = 0x92;
    record.info.cbSize = 8;
    record.info.i2cSpeed = 0xFFFF;
    record.info.i2cSpeedKhz = NV_I2C_SPEED_LOWEST;
    record.info.portId = 1;
    record.info.bIsPortIdSet = 1;
    record.dataNull = false;
    record.data = {0xA0, 0xFC, 0x01};
    std::istringstream log(simdriver::CallLine(record) + "\nnot json\n\n" +
                           simdriver::IgnoredLine(9, 1, "malformed block", "say \"why\""));
    int unreadable = 0;
    const std::vector<jsonline::Object> lines = jsonline::ReadLines(log, &unreadable);
    EXPECT_EQ(unreadable, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Number("t"), 503);
    EXPECT_EQ(lines[0].Text("call"), "NvAPI_I2CWriteEx");
    EXPECT_EQ(lines[0].Number("bus"), 2);
    EXPECT_EQ(lines[0].Number("status"), -5);
    EXPECT_EQ(lines[0].Number("version"), static_cast<int64_t>(NV_I2C_INFO_VER3));
    EXPECT_EQ(lines[0].Number("i2cDevAddress"), 0x92);
    EXPECT_EQ(lines[0].Text("pbI2cRegAddress"), "null");
    EXPECT_EQ(lines[0].Text("pbData"), "set");
    EXPECT_EQ(lines[0].Number("i2cSpeedKhz"), 1);
    EXPECT_EQ(lines[0].Text("data"), "a0 fc 01");
    EXPECT_EQ(lines[1].Text("detail"), "say \"why\"");
}

}  // namespace
