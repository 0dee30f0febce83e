#pragma once
#include <QByteArray>
#include <QString>
#include <string>

// A service parameter block as the services API reads it. Two shapes:
// - the attach block of isc_service_attach: version bytes, then items with a one-byte length;
// - a request of isc_service_start: the action byte, then items whose texts carry a two-byte
//   length, whose numbers are four bytes and whose single-byte values have no length at all.
// Texts go as UTF-8 (the attach block says so). The bytes are overwritten when the block goes,
// since an attach block carries the password.
class ServiceParams {
public:
    static ServiceParams attachBlock(const QString& user, const QString& password);
    static ServiceParams request(unsigned char action);
    ~ServiceParams();
    ServiceParams(ServiceParams&& other) noexcept;
    ServiceParams& operator=(ServiceParams&&) = delete;
    ServiceParams(const ServiceParams&) = delete;
    ServiceParams& operator=(const ServiceParams&) = delete;

    void addText(unsigned char tag, const QString& value); // request: two-byte length
    void addInt(unsigned char tag, quint32 value);
    void addByte(unsigned char tag, unsigned char value);
    void addFlag(unsigned char tag); // a tag alone (isc_spb_verbose)

    const std::string& bytes() const { return m_bytes; }
    unsigned short size() const { return static_cast<unsigned short>(m_bytes.size()); }
    const char* data() const { return m_bytes.data(); }

private:
    ServiceParams() = default;
    void addAttachText(unsigned char tag, const QByteArray& value); // one-byte length
    std::string m_bytes;
};
