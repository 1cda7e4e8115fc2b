#include "devices/PreviewPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <span>

#include "media/Decoder.h"
#include "media/PreviewStream.h"

namespace {

constexpr int kTickMs = 250;

// The sound as the output reads it. It owns the stream, and the output owns
// it, so nothing is read after either has gone.
class StreamDevice : public QIODevice {
  public:
    explicit StreamDevice(std::unique_ptr<media::PreviewStream> stream)
        : stream_(std::move(stream)) {
        open(QIODevice::ReadOnly);
    }

    media::PreviewStream& Stream() { return *stream_; }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        // What is decoded, and a chunk more for as long as there is sound.
        const qint64 ahead = stream_->Finished() ? 0
                                                 : media::PreviewStream::kChunkFrames *
                                                       stream_->Format().BytesPerFrame();
        return static_cast<qint64>(stream_->Buffered()) + ahead + QIODevice::bytesAvailable();
    }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        return static_cast<qint64>(stream_->Read(
            std::span(reinterpret_cast<std::byte*>(data), static_cast<std::size_t>(maxSize))));
    }
    qint64 writeData(const char* /*data*/, qint64 /*size*/) override { return -1; }

  private:
    std::unique_ptr<media::PreviewStream> stream_;
};

media::SampleType TypeOf(QAudioFormat::SampleFormat format) {
    switch (format) {
        case QAudioFormat::UInt8:
            return media::SampleType::UInt8;
        case QAudioFormat::Int32:
            return media::SampleType::Int32;
        case QAudioFormat::Float:
            return media::SampleType::Float;
        default:
            return media::SampleType::Int16;
    }
}

// The track's own rate and channels in 16 bits where the output takes that;
// otherwise what the output prefers, and the sound is converted to it.
QAudioFormat OutputFormat(const QAudioDevice& output, int rate, int channels) {
    QAudioFormat own;
    own.setSampleRate(rate);
    own.setChannelCount(channels);
    own.setSampleFormat(QAudioFormat::Int16);
    if (output.isFormatSupported(own)) {
        return own;
    }
    QAudioFormat preferred = output.preferredFormat();
    if (preferred.sampleFormat() == QAudioFormat::Unknown) {
        preferred.setSampleFormat(QAudioFormat::Int16);
    }
    return preferred;
}

QString SinkFault(QAudio::Error error) {
    switch (error) {
        case QAudio::OpenError:
            return QStringLiteral("The sound output could not be opened.");
        case QAudio::IOError:
            return QStringLiteral("The sound output stopped taking sound.");
        case QAudio::FatalError:
            return QStringLiteral("The sound output is no longer available.");
        default:
            return {};
    }
}

}  // namespace

PreviewPlayer::PreviewPlayer(QObject* parent) : QObject(parent) {
    ticker_.setInterval(kTickMs);
    connect(&ticker_, &QTimer::timeout, this, [this] {
        if (sink_ != nullptr) {
            CheckOutput();
        }
        // The last of the sound is heard once the output has played what it
        // holds, which is no more than its buffer.
        if (sink_ != nullptr && draining_.isValid() &&
            draining_.elapsed() >= sink_->format().durationForBytes(sink_->bufferSize()) / 1000) {
            const auto& broken = stream_->Error();
            End(broken ? QString::fromStdString(broken->Message()) : QString());
        }
        if (sink_ != nullptr) {
            emit Progress();
        }
    });
}

PreviewPlayer::~PreviewPlayer() {
    Release();
}

QString PreviewPlayer::Unavailable() {
    if (QMediaDevices::audioOutputs().isEmpty()) {
        return QStringLiteral(
            "No sound output was found on this computer, so tracks cannot be "
            "played here.");
    }
    return {};
}

bool PreviewPlayer::Play(const std::filesystem::path& file, QString& error) {
    Stop();
    // The file is judged first: a broken one says so on any computer.
    media::MediaError refusal;
    std::unique_ptr<media::Decoder> decoder = media::Decoder::Open(file, refusal);
    if (!decoder) {
        error = QString::fromStdString(refusal.Message());
        return false;
    }
    if (error = Unavailable(); !error.isEmpty()) {
        return false;
    }
    QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) {
        output = QMediaDevices::audioOutputs().constFirst();
    }
    const QAudioFormat format = OutputFormat(output, decoder->SampleRate(), decoder->Channels());
    lengthMs_ = decoder->Frames() * 1000 / decoder->SampleRate();
    auto stream = std::make_unique<media::PreviewStream>(
        std::move(decoder), media::PcmFormat{format.sampleRate(), format.channelCount(),
                                             TypeOf(format.sampleFormat())});
    stream_ = stream.get();

    sink_ = new QAudioSink(output, format, this);
    auto* device = new StreamDevice(std::move(stream));
    device->setParent(sink_);
    connect(sink_, &QAudioSink::stateChanged, this, [this] { CheckOutput(); });
    sink_->start(device);
    if (const QString fault = SinkFault(sink_->error()); !fault.isEmpty()) {
        Release();
        error = fault;
        return false;
    }
    ticker_.start();
    return true;
}

void PreviewPlayer::Stop() {
    if (sink_ != nullptr) {
        End({});
    }
}

qint64 PreviewPlayer::PlayedMs() const {
    return sink_ != nullptr ? std::min(sink_->processedUSecs() / 1000, lengthMs_) : 0;
}

void PreviewPlayer::CheckOutput() {
    if (sink_ == nullptr) {
        return;
    }
    if (const QString fault = SinkFault(sink_->error()); !fault.isEmpty()) {
        End(fault);
    } else if (stream_->Finished() && !draining_.isValid()) {
        // All of the sound is with the output now, or it has run dry.
        draining_.start();
    }
}

void PreviewPlayer::End(const QString& error) {
    Release();
    emit Finished(error);
}

void PreviewPlayer::Release() {
    ticker_.stop();
    draining_.invalidate();
    if (sink_ == nullptr) {
        return;
    }
    // This may run inside the output's own signal: it goes once that returns,
    // taking the stream with it, and reads nothing more meanwhile.
    sink_->disconnect(this);
    sink_->stop();
    sink_->deleteLater();
    sink_ = nullptr;
    stream_ = nullptr;
}
