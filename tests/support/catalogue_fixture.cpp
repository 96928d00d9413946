#include "support/catalogue_fixture.h"

#include "main_window/form1.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing {

CatalogueFixture::CatalogueFixture(std::vector<catalogue::Star> stars) : service_(std::move(stars))
{
    bypassProxyForLoopback();
    if (!service_.start(0))
        qFatal("the catalogue service cannot listen on 127.0.0.1");
}

QString CatalogueFixture::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(service_.port());
}

void CatalogueFixture::pointAt(Form1 &form) const
{
    form.catalogueHost = host();
}

QString unusedLocalHost()
{
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (sock < 0 || ::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
        ::getsockname(sock, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("no free port on 127.0.0.1");
    ::close(sock);
    return QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port));
}

void bypassProxyForLoopback()
{
    qputenv("no_proxy", "127.0.0.1,localhost");
    qputenv("NO_PROXY", "127.0.0.1,localhost");
}

} // namespace testing
