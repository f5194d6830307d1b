// Parsing and checking of the command line's options.
#include "cli/options.h"

#include <charconv>
#include <cmath>

namespace tavolin::cli {

const std::set<std::string> kEvalValueOptions = {"--standard", "--curve",      "--abc",   "--eta",
                                                 "--cores",    "--curve-name", "--curves"};
const std::set<std::string> kEvalFlagOptions = {"--pumped", "--json"};
const std::set<std::string> kWaveformValueOptions = {"--member", "--area", "--point", "--highpass",
                                                     "--lowpass"};

ParsedArgs parseArgs(int argc, char** argv, int first, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flagOptions) {
    ParsedArgs out;
    bool optionsEnded = false;
    for (int i = first; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            out.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        if (out.has(name))
            throw UsageError("选项重复：" + name);
        if (flagOptions.count(name)) {
            if (inlineValue)
                throw UsageError("选项 " + name + " 不带参数");
            out.flags.insert(name);
        } else if (valueOptions.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= argc)
                    throw UsageError("选项 " + name + " 缺少参数");
                value = argv[++i];
            }
            out.values[name] = value;
        } else {
            throw UsageError("未知选项：" + name);
        }
    }
    return out;
}

float parseNumber(const std::string& text, const std::string& what) {
    float value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        throw UsageError(what + " 不是有效的数值：" + text);
    return value;
}

int parsePositive(const std::string& text, const std::string& what) {
    int value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1)
        throw UsageError(what + " 应为从 1 开始的整数：" + text);
    return value;
}

namespace {

// The analysis form limits η and the coefficients a, b, c to 0 … 10.
float parseCoefficient(const std::string& text, const std::string& what) {
    const float value = parseNumber(text, what);
    if (value < 0.0f || value > 10.0f)
        throw UsageError(what + " 应在 0 到 10 之间：" + text);
    return value;
}

} // namespace

EvalSettings evalSettingsFrom(const ParsedArgs& args) {
    if (args.has("--cores") && args.has("--eta"))
        throw UsageError("--cores 不能与 --eta 同用：η 由试件求得");
    if (args.has("--curve-name") && (args.has("--abc") || args.has("--curve")))
        throw UsageError("--curve-name 不能与 --abc 或 --curve 同用");
    EvalSettings s;
    if (auto it = args.values.find("--standard"); it != args.values.end()) {
        if (it->second == "cecs")
            s.standard = 0;
        else if (it->second == "tb")
            s.standard = 1;
        else
            throw UsageError("--standard 只能是 cecs 或 tb：" + it->second);
    }
    if (auto it = args.values.find("--curve"); it != args.values.end()) {
        if (it->second == "custom")
            s.curve = CurveCustom;
        else if (it->second == "pebble")
            s.curve = CurvePebble;
        else if (it->second == "crushed")
            s.curve = CurveCrushed;
        else
            throw UsageError("--curve 只能是 custom、pebble 或 crushed：" + it->second);
    }
    if (auto it = args.values.find("--abc"); it != args.values.end()) {
        const std::string& text = it->second;
        std::array<float, 3> abc{};
        size_t start = 0;
        static const char* names[3] = {"系数a", "系数b", "系数c"};
        for (int k = 0; k < 3; ++k) {
            const size_t comma = text.find(',', start);
            if ((k < 2) != (comma != std::string::npos))
                throw UsageError("--abc 应为三个以逗号分隔的数值：" + text);
            const size_t stop = k < 2 ? comma : text.size();
            abc[k] = parseCoefficient(text.substr(start, stop - start), names[k]);
            start = stop + 1;
        }
        if (s.curve && *s.curve != CurveCustom)
            throw UsageError("--abc 只能与 --curve custom 同用");
        s.abc = abc;
        s.curve = CurveCustom;
    }
    s.pumped = args.flags.count("--pumped") > 0;
    if (auto it = args.values.find("--eta"); it != args.values.end())
        s.eta = parseCoefficient(it->second, "强度修正系数η");
    return s;
}

WaveformRequest waveformRequestFrom(const ParsedArgs& args) {
    WaveformRequest r;
    static const char* required[3] = {"--member", "--area", "--point"};
    for (const char* name : required)
        if (!args.values.count(name))
            throw UsageError(std::string("缺少选项 ") + name);
    r.member = parsePositive(args.values.at("--member"), "--member") - 1;
    r.area = parsePositive(args.values.at("--area"), "--area") - 1;
    r.point = parsePositive(args.values.at("--point"), "--point") - 1;
    // The filter dialog's ranges, compared as single-precision values like the dialog does.
    if (auto it = args.values.find("--highpass"); it != args.values.end()) {
        r.highOn = true;
        r.highKHz = parseNumber(it->second, "--highpass");
        if (r.highKHz > 20.0f || r.highKHz < 0.0099995f)
            throw UsageError("高通范围为0.01-20kHz");
    }
    if (auto it = args.values.find("--lowpass"); it != args.values.end()) {
        r.lowOn = true;
        r.lowKHz = parseNumber(it->second, "--lowpass");
        if (r.lowKHz > 500.0f || r.lowKHz < 2.0f)
            throw UsageError("低通范围为2-500kHz");
    }
    if (r.highOn && r.lowOn && r.highKHz > r.lowKHz)
        throw UsageError("高通值必须小于低通值");
    return r;
}

std::string usageText() {
    return "用法：\n"
           "  tavolin-cli evaluate FILE [--standard cecs|tb] [--curve custom|pebble|crushed]\n"
           "                       [--abc A,B,C] [--pumped] [--eta X | --cores CORES.csv]\n"
           "                       [--curves LIBRARY] [--curve-name NAME] [--json]\n"
           "  tavolin-cli save-result FILE OUT.SHA [与 evaluate 相同的选项]\n"
           "  tavolin-cli save FILE OUT\n"
           "  tavolin-cli fit-curve SPECIMENS.csv [--json] [--name NAME --add-to LIBRARY]\n"
           "  tavolin-cli merge OUT.SHA IN...\n"
           "  tavolin-cli waveform FILE --member M --area A --point P [--highpass KHZ]"
           " [--lowpass KHZ]\n"
           "  tavolin-cli autopick FILE [--json] [--apply OUT]\n"
           "  tavolin-cli report FILE --pdf OUT.pdf | --bmp DIR | --docx OUT.docx | --xlsx "
           "OUT.xlsx\n"
           "                     [--tables field|result|field,result] [--settings INI]\n"
           "                     [evaluate 的计算选项]\n"
           "  tavolin-cli --help | --version\n"
           "\n"
           "FILE 为声波原始文件（.SHT）或声波结果文件（.SHA），同目录下须有其 .SHD 波形文件。\n"
           "构件、测区、测点从 1 开始编号。失败时显示原因，退出码为 1；用法错误时为 2。\n"
           "\n"
           "evaluate 与 save-result 的选项作用于文件中的每一个构件：\n"
           "  --standard  规范，cecs 为 CECS 02:2005（默认），tb 为 TB10426-2004。\n"
           "  --curve     粗骨料；pebble（卵石）、crushed（碎石）写入所选规范的默认系数，\n"
           "              custom（自定义）保留文件中的系数。不给 --curve 时，卵石、碎石构件\n"
           "              同样采用所选规范的默认系数。\n"
           "  --abc       自定义曲线的系数a、b、c（即 --curve custom），各在 0 到 10 之间。\n"
           "  --pumped    所有构件按泵送混凝土计算（仅 TB10426-2004 计入修正）。\n"
           "  --eta       强度修正系数η（0 到 10），写入工程信息和每一个测区。\n"
           "  --cores     钻芯修正：CSV 每行一个试件 member,area,strength（构件、测区从 1 开始，\n"
           "              强度 MPa），可有一行标题，UTF-8 或 GBK；η = 各试件 f_cor,i / fcu,i^c\n"
           "              的平均值（fcu,i^c 为 η = 1 时的测区强度换算值），取两位小数，再按\n"
           "              --eta η 计算。至少 4 个试件。\n"
           "  --curves    测强曲线库文件（默认为用户设置文件夹中的 curves.json）。\n"
           "  --curve-name 以曲线库中该名称曲线的 a、b、c 作为每一个构件的自定义曲线，\n"
           "              与 --abc 相同；强度超出曲线适用范围的测区在 JSON 中标为\n"
           "              outside_curve。\n"
           "  --json      以 JSON 输出各记录的字段；数值为能读回同一单精度值的最短写法，\n"
           "              无穷大或非数写为 null。excluded 为被剔除的六个读数位置（0–15）：\n"
           "              前三个为最高值、后三个为最低值，每组按位置从小到大；直接输入平均值\n"
           "              的测区为 null。\n"
           "save-result 写出按所选设置计算后的声波结果文件（有试件时在旁边写出\n"
           "OUT.SHA.cores.csv）。\n"
           "fit-curve 由试件（每行 v,R,f：修正后声速 km/s、修正后回弹值、立方体强度 MPa）\n"
           "按 ln f = ln a + b ln v + c ln R 最小二乘拟合测强曲线，给出 n、a、b、c、平均相对\n"
           "误差 δ、相对标准差 e_r 和 v、R、f 的范围；--add-to 把曲线以 --name 加入曲线库\n"
           "（a 取四位小数，b、c 取三位，与结果文件相同），名称已存在时曲线库不变。\n"
           "waveform 输出 CSV（index,time_us,raw,working）；--highpass 为 0.01–20 kHz，\n"
           "--lowpass 为 2–500 kHz，高通值不得大于低通值。\n"
           "autopick 对每个有波形的测点自动判读首波：列出建议的首波采样序号、声时（序号×采样间隔\n"
           "+延时）和置信度（0–1）；--json 输出 {\"points\": [{\"member\", \"area\", \"point\",\n"
           "\"index\", \"time_us\", \"confidence\"}]}，没有建议的测点 index 与 time_us 为 null。\n"
           "--apply 把置信度不低于 0.5 的建议写入首波和幅度位置，按 OUT 的扩展名如 save "
           "一样保存。\n"
           "report 按 evaluate 的方式打开并计算，再输出现场记录表和结果数据表：--pdf 写成一个\n"
           "PDF 文件，--bmp 在文件夹 DIR 中写出 field-record-001.bmp … 与 result-001.bmp …\n"
           "（1030×1400 单色位图，文件夹不存在时创建）。--tables 选择要输出的表，--settings 从\n"
           "给定的设置文件读取打印设置和报表信息（默认为用户自己的设置文件，没有时取内置默认值）。"
           "\n"
           "--docx 把所选的表写成 Word 文档（宋体，合并单元格），--xlsx 把每个构件各测区的声时、\n"
           "声速和强度换算值写成 Excel 工作簿；两者都先写临时文件，完整写成后才替换同名文件。\n"
           "可以同时给出多个输出选项。\n"
           "进度只在标准错误输出为终端时显示。\n";
}

} // namespace tavolin::cli
