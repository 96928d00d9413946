#pragma once
// The catalogue service in-process, for tests that download a catalogue.
//
//   CatalogueFixture catalogue({{"U1200-00000001", 23.70833, 22.01972, 11.2}, ...});
//   catalogue.pointAt(*formFixture.form);   // the form's "1-Download" now asks it
//   formFixture.form->DownloadData_Click();
//   catalogue.receivedTargets();             // what the form sent
//
// The service listens on 127.0.0.1 on a free port for the fixture's lifetime.

#include "catalogue_service.h"

#include <QString>
#include <vector>

class Form1;

namespace testing {

class CatalogueFixture {
public:
    explicit CatalogueFixture(std::vector<catalogue::Star> stars = {});

    // "127.0.0.1:port"
    QString host() const;
    // Sets the form's catalogue host to this service.
    void pointAt(Form1 &form) const;
    QList<QByteArray> receivedTargets() const { return service_.receivedTargets(); }
    // Stops answering: later downloads find no service.
    void stop() { service_.stop(); }

private:
    catalogue::Service service_;
};

// A host:port on 127.0.0.1 where nothing listens (a port just released).
QString unusedLocalHost();

// Transfers take their proxy from the environment; one set on the machine
// must not carry the tests' requests to 127.0.0.1 away. The fixture calls it.
void bypassProxyForLoopback();

} // namespace testing
