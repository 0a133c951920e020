// SPDX-License-Identifier: GPL-3.0-or-later
#include "block_parameters.h"

#include <algorithm>
#include <stdexcept>

#include "files/parameter_files.h"
#include "mac/payload.h"
#include "rx/stream/resample.h"
#include "settings/calculate.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"

namespace gr {
namespace dot11b {

namespace rt = ::dot11b::rt;
namespace settings = ::dot11b::settings;

namespace {

// A named setting's words and the field values they stand for.
struct word_value {
    const char* word;
    const char* value;
};

// The value a word stands for; the text itself when it is none of them (a number the field takes).
std::string field_value(const std::string& text, std::initializer_list<word_value> words)
{
    for (const word_value& w : words)
        if (text == w.word)
            return w.value;
    return text;
}

} // namespace

rt::Value parameters_record(const std::string& params_file,
                            const std::vector<std::string>& assignments,
                            const gr::logger_ptr& logger)
{
    rt::Value parameters;
    if (params_file.empty()) {
        parameters = settings::initialParameters();
    } else {
        std::vector<std::string> adjustments;
        parameters = ::dot11b::files::loadParameterFile(params_file, &adjustments);
        for (const std::string& a : adjustments)
            logger->warn(params_file + ": " + a);
    }
    for (const std::string& assignment : assignments)
        settings::applyAssignment(parameters, assignment);
    settings::validateParameters(parameters);
    return parameters;
}

bool apply_named_setting(rt::Value& parameters, const std::string& key, const std::string& text)
{
    if (key == "rate") {
        settings::applySetting(parameters, "dataRate", text);
    } else if (key == "preamble") {
        settings::applySetting(
            parameters, "preambleType", field_value(text, { { "long", "0" }, { "short", "1" } }));
    } else if (key == "modulation") {
        // The rates of 1 and 2 Mbit/s name their own modulation: the record's choice stays for the others.
        if (text != "DBPSK" && text != "DQPSK")
            settings::applySetting(
                parameters, "highRateMod", field_value(text, { { "CCK", "0" }, { "PBCC", "1" } }));
    } else if (key == "filter") {
        settings::applySetting(parameters,
                               "FilterType",
                               field_value(text,
                                           { { "rectangular", "0" },
                                             { "gaussian", "1" },
                                             { "root-raised-cosine", "2" } }));
    } else if (key == "oversampling") {
        settings::applySetting(parameters, "OverSampling", text);
    } else {
        const std::vector<std::string> fields = settings::settableFields();
        if (std::find(fields.begin(), fields.end(), key) == fields.end())
            return false;
        settings::applySetting(parameters, key, text);
    }
    return true;
}

::dot11b::phy::Frame pdu_frame(rt::Value& parameters, const std::vector<uint8_t>& pdu)
{
    settings::applySetting(parameters, "dataLength", std::to_string(pdu.size()));
    settings::validateParameters(parameters);
    const ::dot11b::mac::PayloadSettings payload = settings::payloadSettings(parameters);
    // Each octet least significant bit first, as a payload file's.
    ::dot11b::Bits data(8 * pdu.size());
    for (size_t i = 0; i < pdu.size(); ++i)
        for (size_t b = 0; b < 8; ++b)
            data[8 * i + b] = (pdu[i] >> b) & 1U;
    const ::dot11b::Bits psdu = ::dot11b::mac::assemblePsdu(
        payload.macHeaderActive ? payload.macHeaderBits : ::dot11b::Bits{}, data, payload.fcsActive);
    return ::dot11b::phy::generateFrame(psdu, settings::frameSettings(parameters));
}

std::vector<gr_complex> stream_samples(const ::dot11b::ComplexRow& waveform, double frame_rate, double samp_rate)
{
    const ::dot11b::ComplexRow& at_rate = samp_rate > 0 && samp_rate != frame_rate
                                              ? ::dot11b::rx::resample(waveform, frame_rate, samp_rate)
                                              : waveform;
    std::vector<gr_complex> out(at_rate.size());
    std::transform(at_rate.begin(), at_rate.end(), out.begin(), [](const ::dot11b::Complex& x) {
        return gr_complex(static_cast<float>(x.real()), static_cast<float>(x.imag()));
    });
    return out;
}

} // namespace dot11b
} // namespace gr
