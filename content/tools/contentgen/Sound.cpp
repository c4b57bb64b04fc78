#include "content/tools/contentgen/Sound.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "content/tools/contentgen/Canvas.h"
#include "model/Exceptions.h"

namespace contentgen {

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979;

// One syllable: a gliding tone with a vowel-ish timbre, shaped by an envelope.
void Syllable(std::vector<double>& out, double start, double length, double f0, double f1, double bright,
              double vibrato) {
    const std::size_t first = static_cast<std::size_t>(start * kRate);
    const std::size_t n = static_cast<std::size_t>(length * kRate);
    if (out.size() < first + n) out.resize(first + n, 0.0);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        const double f = f0 * std::pow(f1 / f0, t) * (1 + vibrato * std::sin(2 * kPi * 28 * static_cast<double>(i) / kRate));
        phase += 2 * kPi * f / kRate;
        const double env = std::sin(kPi * std::min(1.0, t * 1.2)) * (t < 0.08 ? t / 0.08 : 1.0);
        const double wave = std::sin(phase) + bright * 0.5 * std::sin(2 * phase) + bright * 0.25 * std::sin(3 * phase);
        out[first + i] += 0.32 * env * wave;
    }
}

std::vector<std::int16_t> ToPcm(const std::vector<double>& in) {
    double peak = 0.0001;
    for (double v : in) peak = std::max(peak, std::abs(v));
    const double gain = std::min(1.0, 0.85 / peak);
    std::vector<std::int16_t> out;
    out.reserve(in.size());
    for (double v : in) out.push_back(static_cast<std::int16_t>(std::lround(std::clamp(v * gain, -1.0, 1.0) * 32000)));
    return out;
}

std::vector<double> Brax(int n) {
    Random rnd(static_cast<std::uint32_t>(n * 31 + 5));
    std::vector<double> out;
    const int syllables = 2 + n % 4 + (n > 6 ? 1 : 0);
    double at = 0.0;
    const double pitch = 380 + 40 * (n % 5);
    for (int i = 0; i < syllables; ++i) {
        const double len = rnd.Range(0.06, 0.16);
        const double from = pitch * rnd.Range(0.8, 1.5);
        double to = from * rnd.Range(0.7, 1.6);
        if (i == syllables - 1 && n % 2) to = from * 1.9;  // a questioning lift at the end
        Syllable(out, at, len, from, to, rnd.Range(0.2, 0.9), n % 3 == 0 ? 0.04 : 0.01);
        at += len + rnd.Range(0.01, 0.05);
    }
    out.resize(out.size() + kRate / 20, 0.0);
    return out;
}

std::vector<double> Motor(int kind) {
    const double seconds = 1.6;
    std::vector<double> out(static_cast<std::size_t>(seconds * kRate));
    Random rnd(static_cast<std::uint32_t>(kind * 11));
    double phase = 0, noise = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env = std::min(1.0, t / 0.25) * std::min(1.0, (seconds - t) / 0.5);
        const double f = kind == 1 ? 55 + 40 * std::min(1.0, t / 0.8) : 90 + 160 * std::min(1.0, t / 1.0);
        phase += 2 * kPi * f / kRate;
        noise = 0.85 * noise + 0.15 * rnd.Range(-1, 1);  // rumble: low-passed noise
        const double tone = kind == 1 ? (std::fmod(phase / (2 * kPi), 1.0) * 2 - 1) * 0.35  // saw
                                      : std::sin(phase) * 0.4 + std::sin(phase * 3.01) * 0.15;
        out[i] = env * (tone + noise * (kind == 1 ? 1.4 : 0.7));
    }
    return out;
}

void Put(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Save(const std::string& path, const std::vector<double>& sound) {
    const std::string bytes = WavBytes(ToPcm(sound), kRate);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw quellmoor::RException("cannot write " + path);
}

}  // namespace

std::string WavBytes(const std::vector<std::int16_t>& samples, int rate) {
    const std::uint32_t data = static_cast<std::uint32_t>(samples.size() * 2);
    std::string s = "RIFF";
    Put(s, 36 + data, 4);
    s += "WAVEfmt ";
    Put(s, 16, 4);
    Put(s, 1, 2);  // PCM
    Put(s, 1, 2);  // mono
    Put(s, static_cast<std::uint32_t>(rate), 4);
    Put(s, static_cast<std::uint32_t>(rate * 2), 4);
    Put(s, 2, 2);
    Put(s, 16, 2);
    s += "data";
    Put(s, data, 4);
    for (std::int16_t v : samples) Put(s, static_cast<std::uint16_t>(v), 2);
    return s;
}

void WriteSounds(const std::string& dir) {
    std::filesystem::create_directories(dir);
    for (int i = 1; i <= 10; ++i) Save(dir + "/brax" + std::to_string(i) + ".wav", Brax(i));
    Save(dir + "/motor1.wav", Motor(1));
    Save(dir + "/motor2.wav", Motor(2));
}

}  // namespace contentgen
