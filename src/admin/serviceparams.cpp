#include "admin/serviceparams.h"
#include "platform/apperror.h"
#include <algorithm>
#include <ibase.h>

ServiceParams ServiceParams::attachBlock(const QString& user, const QString& password) {
    ServiceParams p;
    p.m_bytes += static_cast<char>(isc_spb_version);
    p.m_bytes += static_cast<char>(isc_spb_current_version);
    p.addAttachText(isc_spb_user_name, user.toUtf8());
    if (!password.isEmpty()) {
        QByteArray bytes = password.toUtf8();
        p.addAttachText(isc_spb_password, bytes);
        bytes.fill('\0');
    }
    // File names in the requests are UTF-8, as the connection's are.
    p.m_bytes += static_cast<char>(isc_spb_utf8_filename);
    p.m_bytes += static_cast<char>(0);
    return p;
}

ServiceParams ServiceParams::request(unsigned char action) {
    ServiceParams p;
    p.m_bytes += static_cast<char>(action);
    return p;
}

ServiceParams::~ServiceParams() {
    std::fill(m_bytes.begin(), m_bytes.end(), '\0');
}

ServiceParams::ServiceParams(ServiceParams&& other) noexcept : m_bytes(std::move(other.m_bytes)) {
    other.m_bytes.clear();
}

void ServiceParams::addAttachText(unsigned char tag, const QByteArray& value) {
    if (value.size() > 255) throw AppError(QStringLiteral("Texto longo demais para o gerenciador de serviços"));
    m_bytes += static_cast<char>(tag);
    m_bytes += static_cast<char>(value.size());
    m_bytes.append(value.constData(), static_cast<size_t>(value.size()));
}

void ServiceParams::addText(unsigned char tag, const QString& value) {
    const QByteArray bytes = value.toUtf8();
    if (bytes.size() > 65535) throw AppError(QStringLiteral("Texto longo demais para o gerenciador de serviços"));
    m_bytes += static_cast<char>(tag);
    m_bytes += static_cast<char>(bytes.size() & 0xff);
    m_bytes += static_cast<char>((bytes.size() >> 8) & 0xff);
    m_bytes.append(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void ServiceParams::addInt(unsigned char tag, quint32 value) {
    m_bytes += static_cast<char>(tag);
    for (int i = 0; i < 4; ++i)
        m_bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

void ServiceParams::addByte(unsigned char tag, unsigned char value) {
    m_bytes += static_cast<char>(tag);
    m_bytes += static_cast<char>(value);
}

void ServiceParams::addFlag(unsigned char tag) {
    m_bytes += static_cast<char>(tag);
}
