// The settings record: every tunable of the system, filled from config.ini.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Tessaline's own [LINK] section: read at start-up, never written by Save.
struct CLinkSettings {
    std::string DEVICE = "USB";  // "USB" (the real plotter) or "VIRTUAL"
    std::string PAGEDIR;         // where the virtual plotter writes its pages; empty: "pages" next to the program
    // The real board, as its firmware answers (hexadecimal with 0x, or decimal, in the file).
    int32_t USBVENDORID = 0x04CC;
    int32_t USBPRODUCTID = 0x1B49;
    int32_t USBINTERFACE = 0;
    int32_t USBSTATUSREQUEST = 0xB0;     // vendor control-IN answering the status byte
    int32_t USBSCANPRINTREQUEST = 0xB1;  // vendor control-OUT announcing the next write
    int32_t USBPIPE0 = 0x81;             // bulk IN endpoint of the replies
    int32_t USBPIPE1 = 0x01;             // bulk OUT endpoint of the commands
    int32_t USBPIPE3 = 0x02;             // bulk OUT endpoint of the print data
};

// Tessaline's own [UI] section: read at start-up, never written by Save.
struct CUiSettings {
    // The operator's language: empty follows the system locale; "source" shows the texts as they stand
    // in the program; "zh_CN", "pt_BR" or "en" choose a translation.
    std::string LANGUAGE;
};

// The longest task folder path config.ini keeps, in bytes (the system's own path limit).
constexpr std::size_t kMaxWorkPath = 4095;

// Fields stored in config.ini bear the name of their key; derived fields carry m_ names.
class CUserDefine {
public:
    CUserDefine();

    // Head model code of a Print_Line text (exact, case-sensitive match; anything else is 0) and back.
    static uint8_t HeadModelCode(const std::string& text);
    static const char* HeadModelText(uint8_t code);

    // The derived fields, each from its inputs as they stand.
    void UpdateRatios();          // m_fRatioX, m_fRatioY
    void UpdateDotsPerUnitX();    // m_fDotsPerUnitX
    void UpdateHeadTotals();      // nozzles and slots per head from Print_Line, their totals
    void UpdateStepTotal();       // m_nStepTotal
    void UpdateRowsPerUnitY();    // m_fRowsPerUnitY
    // m_nLeftDots from the whole millimetres of the margin.
    void UpdateLeftDots(int32_t wholeMm);

    uint8_t Print_Line = 2;    // 1 XAAR128Plus, 2 HP45, 0 none
    uint8_t JetPrintHead = 1;  // heads mounted, 1..4
    uint8_t CrcAddorSub = 1;   // 1 add, 0 subtract
    int32_t m_nNozzlesPerHead = 150;
    int32_t m_nTotalNozzles = 150;
    int32_t m_nSlotsPerHead = 154;
    int32_t m_nTotalSlots = 154;
    int32_t JetPrintHeadOpenStatus[8] = {};
    int32_t JetPrintHeadValueX[8] = {};
    int32_t JetPrintHeadValueY[8] = {};
    int32_t m_SkewTable[8][150] = {};
    int32_t SpeedH = 0;
    int32_t SpeedM = 0;
    int32_t SpeedL = 0;
    float m_fRatioX = 1.0f;
    float m_fRatioY = 1.0f;
    float XSCALE_T = 1.0f;
    float YSCALE_T = 1.0f;
    float XSCALE_R = 1.0f;
    float YSCALE_R = 1.0f;
    std::string WORKPATH;  // at most 99 characters are ever stored
    int32_t DPINumPerM = 6653;
    float m_fDotsPerUnitX = 0.0f;
    float m_fRowsPerUnitY = 0.0f;
    int32_t m_nUnitsPerMm = 40;        // constant
    float m_fMmPerUnit = 0.025f;       // constant
    int32_t EdStepB = 1096;
    int32_t m_nStepTotal = 1096;
    int32_t EdLRCrcValue = 0;
    int32_t m_nLeftDots = 1995;
    float EdLeftValue = 300.0f;
    int32_t EdJumpValue = 0;
    float EdLineSection = 17.45f;
    int32_t ELineWidth = 2;
    bool m_bFlipY = true;              // constant
    bool PRINTROTATION90 = false;
    bool PRINTMIRROR = false;
    bool PRINTAUTO = false;
    bool PRINTROTATION90_CLOCKWISE = true;
    bool PRINTROTATION90_UNCLOCKWISE = false;
    int32_t WashBegin = 0;
    int32_t WashEnd = 0;
    int32_t WashCnt = 0;
    int32_t WashFreq = 0;
    int32_t FlashJetPOS = 0;
    int32_t FlashJetTime = 0;
    int32_t WashPass = 0;
    int32_t WaitPos = 0;
    int32_t WashEnable = 0;
    bool m_bFourPass = true;
    int32_t m_nHeadPairCode = 0;
    float MAXWIDTH = 180.0f;
    int32_t USBPACKAGESIZE = 64512;
    int32_t USBTIMEOUT = 25;
    int32_t JETPRINTHEADWIDTH = 29;
    bool DATACOMPRESS = false;
    int32_t PLTFONTSIZE = 144;
    int32_t UCSPEED = 0;
    bool ENSPEED = false;

    CLinkSettings m_Link;
    CUiSettings m_Ui;
};
