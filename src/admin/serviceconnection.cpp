#include "admin/serviceconnection.h"
#include "admin/serviceparams.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"

namespace {
// Room for one answer of the server: large enough that a streamed backup moves in few round trips.
constexpr int kAnswerBytes = 32768;
} // namespace

ServiceConnection::ServiceConnection(const ServiceLogin& login) {
    const ServiceParams spb = ServiceParams::attachBlock(login.user, login.password);
    const QByteArray name = login.serviceName.toUtf8();
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_service_attach(status, static_cast<unsigned short>(name.size()), name.constData(), &m_handle,
                               spb.size(), spb.data());
    if (statusFailed(status)) {
        m_handle = 0;
        raiseStatus(status);
    }
    m_buffer.resize(kAnswerBytes);
}

ServiceConnection::~ServiceConnection() {
    if (!m_handle) return;
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_service_detach(status, &m_handle);
}

void ServiceConnection::start(const ServiceParams& request) {
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_service_start(status, &m_handle, nullptr, request.size(), const_cast<char*>(request.data()));
    checkStatus(status);
}

ServiceConnection::Output ServiceConnection::read(int timeoutSeconds) {
    // Send items: the time the server may wait for output before it answers with what it has.
    char send[7] = {isc_info_svc_timeout, 4, 0};
    for (int i = 0; i < 4; ++i)
        send[3 + i] = static_cast<char>((timeoutSeconds >> (8 * i)) & 0xff);
    const char item = isc_info_svc_to_eof;
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_service_query(status, &m_handle, nullptr, sizeof send, send, 1, const_cast<char*>(&item),
                              static_cast<unsigned short>(m_buffer.size()), m_buffer.data());
    checkStatus(status);

    Output out;
    const char* p = m_buffer.constData();
    const char* const end = p + m_buffer.size();
    bool more = false;
    while (p < end && *p != isc_info_end) {
        const char tag = *p++;
        if (tag == isc_info_svc_to_eof) {
            if (end - p < 2) break;
            const int length = static_cast<int>(fbApi().isc_vax_integer(p, 2));
            p += 2;
            if (length > end - p) break;
            out.data.append(p, length);
            p += length;
        } else if (tag == isc_info_svc_timeout || tag == isc_info_data_not_ready || tag == isc_info_truncated) {
            more = true;
        } else {
            break; // nothing else was asked for
        }
    }
    // Nothing came and nothing is pending: the action has ended and its output is all read.
    out.end = out.data.isEmpty() && !more;
    return out;
}

QString ServiceConnection::readAll() {
    QByteArray all;
    for (;;) {
        const Output o = read();
        all += o.data;
        if (o.end) break;
    }
    return QString::fromUtf8(all);
}
