// The board's [LINK] keys in config.ini: hexadecimal or decimal, anything unusable keeps the default.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "settings/configstore.h"
#include "settings/userdefine.h"

namespace fs = std::filesystem;

namespace {

CLinkSettings LoadLink(const std::string& text)
{
    fs::path ini = fs::temp_directory_path() / ("tessaline_linkkeys_" + std::to_string(getpid()) + ".ini");
    std::ofstream(ini, std::ios::binary) << text;
    CUserDefine ud;
    CConfigStore::Load(ud, ini.string());
    fs::remove(ini);
    return ud.m_Link;
}

}  // namespace

TEST(LinkKeys, AbsentKeysGiveTheDocumentedDefaults)
{
    CLinkSettings link = LoadLink("[LINK]\nDEVICE=USB\n");
    EXPECT_EQ(link.USBVENDORID, 0x04CC);
    EXPECT_EQ(link.USBPRODUCTID, 0x1B49);
    EXPECT_EQ(link.USBINTERFACE, 0);
    EXPECT_EQ(link.USBSTATUSREQUEST, 0xB0);
    EXPECT_EQ(link.USBSCANPRINTREQUEST, 0xB1);
    EXPECT_EQ(link.USBPIPE0, 0x81);
    EXPECT_EQ(link.USBPIPE1, 0x01);
    EXPECT_EQ(link.USBPIPE3, 0x02);
}

TEST(LinkKeys, ValuesAreReadAsHexadecimalOrDecimalWithinTheirRange)
{
    const std::pair<const char*, int> cases[] = {
        {"0x1A2B", 0x1A2B}, {"0XFFFF", 0xFFFF}, {"4660", 4660}, {" 0x0001 ", 1},
        {"0x10000", 0x04CC}, {"-1", 0x04CC},    {"1b49", 0x04CC}, {"0x", 0x04CC},
        {"12abc", 0x04CC},   {"", 0x04CC},       {"99999999999999999999", 0x04CC},
    };
    for (auto [text, expected] : cases)
        EXPECT_EQ(LoadLink(std::string("[LINK]\nUSBVENDORID=") + text + "\n").USBVENDORID, expected) << text;

    CLinkSettings link = LoadLink("[link]\nusbproductid=0x2000\nUSBINTERFACE=1\nUSBSTATUSREQUEST=0x100\n"
                                  "USBSCANPRINTREQUEST=0x40\nUSBPIPE0=0x82\nUSBPIPE1=3\nUSBPIPE3=0x04\n");
    EXPECT_EQ(link.USBPRODUCTID, 0x2000);
    EXPECT_EQ(link.USBINTERFACE, 1);
    EXPECT_EQ(link.USBSTATUSREQUEST, 0xB0);  // beyond one byte
    EXPECT_EQ(link.USBSCANPRINTREQUEST, 0x40);
    EXPECT_EQ(link.USBPIPE0, 0x82);
    EXPECT_EQ(link.USBPIPE1, 3);
    EXPECT_EQ(link.USBPIPE3, 4);
}
