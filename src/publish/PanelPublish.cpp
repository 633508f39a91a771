// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
//
// Publishing on the web: the FTP dialog's accept (GuardarDatosFTP), the automatic session and the
// upload timer.
//
// The FTP client answers later, by signal, so the steps that ran one after the other keep their
// order this way:
//   GuardarDatosFTP  saves records 2-6, starts ConectarFTP and returns; the dialog stays open with a
//                    busy cursor and ignores ACEPTAR until the answer.
//   FTP_Conectado    failure: the message (manual accept only), the dialog stays open.
//                    success: the dialog closes, button 5 on, TmrFTP armed, the page uploads queued.
//   TmrFTP_Timer     first tick comes at least 3 s later; the client runs uploads strictly in the
//                    order they were queued, so pages always go before pictures.
//   FTP_Subido       a failed upload restarts publishing (button 5 twice, the automatic session in
//                    between); the third failure in a row stops it with one message instead. The
//                    dialog is opened with open(), not exec(): nothing here runs a nested event
//                    loop, so a restart coming from inside a signal cannot stack up.
#include "publish/PanelPublish.h"

#include "app/PictureButton.h"
#include "platform/Dialogs.h"
#include "platform/cFTP.h"
#include "publish/Publishing.h"
#include "publish/WebPages.h"
#include "settings/SettingsFile.h"

#include <QComboBox>
#include <QDir>

namespace {

// Upload failures in a row, each followed by a new login, after which publishing stops.
constexpr int kUploadFailuresToStop = 3;

// One message box at a time: the box waits for its OK while timers go on firing.
void avisar(bool& messageOpen, Dialogs* dialogs, QWidget* owner, const QString& text) {
    if (!dialogs || messageOpen)
        return;
    messageOpen = true;
    dialogs->message(owner, Dialogs::Icon::Warning, QStringLiteral("Pregonar - Conexión FTP"), text);
    messageOpen = false;
}

// The same for a yes-or-no question; no answer (another box open) is a no.
bool preguntar(bool& messageOpen, Dialogs* dialogs, QWidget* owner, const QString& text) {
    if (!dialogs || messageOpen)
        return false;
    messageOpen = true;
    const bool yes = dialogs->question(owner, QStringLiteral("Pregonar - Conexión FTP"), text);
    messageOpen = false;
    return yes;
}

} // namespace

void Form1::setUpPublishing() {
    m_publicacion = std::make_unique<Publicacion>();
    connect(&m_tmrFTP, &QTimer::timeout, this, &Form1::TmrFTP_Timer);
    connect(&m_tmrAutoSesion, &QTimer::timeout, this, &Form1::TmrAutoSesion_Timer);
}

Form2* Form1::form2() const {
    return m_publicacion->form2.get();
}

FtpClient* Form1::ftpClient() const {
    return m_publicacion->client.get();
}

const QString& Form1::lastGalleryName() const {
    return m_publicacion->lastGalleryName;
}

void Form1::AbrirForm2() {
    Publicacion& p = *m_publicacion;
    if (!p.form2) {
        p.form2 = std::make_unique<Form2>(*this);
        connect(p.form2.get(), &QDialog::finished, this, [this] {
            // Closed while the server was being asked: that answer no longer counts.
            if (m_publicacion->connecting) {
                m_publicacion->connecting = false;
                m_publicacion->client->DesconectarFTP();
            }
        });
    }
    if (p.form2->isVisible()) {
        p.form2->raise();
        return;
    }
    LoadUploadSettings();
    p.form2->Form_Load();
    p.form2->open();
}

void Form1::LoadUploadSettings() {
    const SettingsFile file(settingsPath());
    if (!form2() || !file.exists())
        return;
    QMap<int, SettingsRecord> records;
    for (int n = 2; n <= 6; ++n)
        records.insert(n, file.read(n));
    form2()->setAccount(decodeUploadRecords(records));
}

void Form1::GuardarDatosFTP() {
    Publicacion& p = *m_publicacion;
    Form2* dialog = p.form2.get();
    if (!dialog || p.connecting)
        return;

    // The settings file holds one byte per character; anything else would come back as '?'. A page
    // name must stay a plain file name, here and on the server.
    QString character;
    QString refusal;
    if (const QString field = dialog->unstorableField(&character); !field.isEmpty()) {
        refusal = QStringLiteral("El dato \"%1\" contiene el carácter \"%2\", que Pregonar no puede "
                                 "guardar.\nEscríbalo sin ese carácter.")
                      .arg(field, character);
    } else {
        refusal = Publishing::pageNameProblem(dialog->account().pageName);
    }
    if (!refusal.isEmpty()) {
        // Nobody is there to mend it in the automatic session: it ends rather than try again.
        if (m_tmrAutoSesion.isActive())
            dialog->reject();
        else
            avisar(p.messageOpen, m_env.dialogs, dialog, refusal);
        return;
    }
    if (!m_tmrAutoSesion.isActive())
        p.uploadFailures = 0; // the user starts afresh

    const UploadAccount account = dialog->account();
    SettingsFile(settingsPath()).write(encodeUploadRecords(account));
    p.server = account.server.trimmed();
    p.user = account.user; // exactly as stored: a space may belong to them
    p.password = account.password;
    p.pageName = account.pageName.trimmed();
    p.reloadSeconds = Publishing::leadingNumber(dialog->cobReload()->currentText());
    p.gallerySize = Publishing::leadingNumber(dialog->cobGaleria()->currentText());
    WebPages::writePages(m_env.workFolder, p.pageName, p.reloadSeconds, p.gallerySize);

    if (!p.client) {
        p.client =
            m_env.ftpFactory
                ? m_env.ftpFactory()
                : std::make_unique<cFTP>(QDir(m_env.workFolder).filePath(QStringLiteral("Pregonar.TLS")));
        connect(p.client.get(), &FtpClient::conectado, this,
                [this](bool ok, const QString& error, FtpClient::LoginFailure failure) {
                    using Failure = FtpClient::LoginFailure;
                    if (ok || (failure != Failure::KeyChanged && failure != Failure::Unsafe)) {
                        FTP_Conectado(ok);
                        return;
                    }
                    // Refused for the owner's safety: trying again would fail the same way, so the
                    // automatic session stops and the owner is told why, and may trust a new key.
                    Publicacion& p = *m_publicacion;
                    p.connecting = false;
                    m_tmrAutoSesion.stop();
                    if (p.form2)
                        p.form2->setBusy(false);
                    if (failure == Failure::Unsafe)
                        avisar(p.messageOpen, m_env.dialogs, p.form2.get(), error);
                    else if (preguntar(p.messageOpen, m_env.dialogs, p.form2.get(),
                                       error + QStringLiteral("\n\n¿Confiar en la nueva clave?")) &&
                             p.client->ConfiarClaveNueva())
                        GuardarDatosFTP();
                });
        connect(
            p.client.get(), &FtpClient::subido, this,
            [this](const QString& remote, bool ok, const QString& error) { FTP_Subido(remote, ok, error); });
    }
    if (!p.client->ConectarFTP(p.server, p.user, p.password)) {
        FTP_Conectado(false);
        return;
    }
    p.connecting = true;
    dialog->setBusy(true);
}

void Form1::FTP_Conectado(bool ok) {
    Publicacion& p = *m_publicacion;
    p.connecting = false;
    if (p.form2)
        p.form2->setBusy(false);
    if (!ok) {
        if (!m_tmrAutoSesion.isActive())
            avisar(p.messageOpen, m_env.dialogs, p.form2.get(),
                   QStringLiteral("Imposible conectarse al servidor."));
        return;
    }
    if (p.form2)
        p.form2->accept();
    boton(Transferir)->setAppearance(1);
    boton(Transferir)->setBackColor(Colors::On);
    m_tmrFTP.setInterval(Publishing::uploadInterval(p.reloadSeconds));
    m_tmrFTP.start();
    const QDir folder(m_env.workFolder);
    const QString page = p.pageName + QStringLiteral(".html");
    p.client->SubirArchivo(folder.filePath(page), page);
    if (p.gallerySize > 0) {
        const QString gallery = p.pageName + QStringLiteral("-gi.html");
        p.client->SubirArchivo(folder.filePath(gallery), gallery);
    }
}

void Form1::TmrFTP_Timer() {
    Publicacion& p = *m_publicacion;
    if (!m_tmrReloj.isActive() || !p.client)
        return;
    // No snapshot yet: nothing to publish. (Uploading the empty name would name the folder itself,
    // fail, and restart publishing every few seconds.)
    const QString snapshot = m_snapshotName.trimmed();
    if (snapshot.isEmpty())
        return;
    // One tick's uploads at a time, as when every upload finished within its tick: on a slow link
    // the next tick waits instead of piling up a backlog of stale pictures.
    if (p.client->pendingUploads() > 0)
        return;
    const QString local = QDir(m_env.workFolder).filePath(snapshot);
    p.client->SubirArchivo(local, p.pageName + QStringLiteral(".jpg"));
    Publishing::GalleryRotation rotation{m_uploadCounter, p.lastGalleryName};
    if (const auto number = rotation.next(m_snapshotName, p.gallerySize)) {
        m_uploadCounter = rotation.counter;
        p.lastGalleryName = rotation.lastName;
        p.client->SubirArchivo(local, Publishing::galleryName(p.pageName, *number));
    }
}

void Form1::TmrAutoSesion_Timer() {
    GuardarDatosFTP();
}

void Form1::FTP_Subido(const QString& remote, bool ok, const QString& error) {
    Publicacion& p = *m_publicacion;
    if (ok) {
        p.uploadFailures = 0;
        return;
    }
    if (!m_tmrFTP.isActive())
        return;
    // A new login cures a lost connection, not a server that refuses the file (no write permission,
    // full quota, missing folder): after a few failures in a row with no upload between them,
    // publishing stops and the user is told what the server said.
    if (++p.uploadFailures >= kUploadFailuresToStop) {
        p.uploadFailures = 0;
        PctBoton_Click(Transferir);
        m_tmrAutoSesion.stop();
        avisar(p.messageOpen, m_env.dialogs, this,
               QStringLiteral(
                   "No se pudo subir \"%1\" al servidor FTP en %2 intentos seguidos; la transferencia "
                   "de imágenes se detuvo.\n\nRespuesta del servidor:\n%3\n\nRevise la cuenta "
                   "(permiso de escritura, espacio libre, carpeta) y vuelva a conectarse.")
                   .arg(remote, QString::number(kUploadFailuresToStop), error));
        return;
    }
    // Publishing starts again as after a lost connection: switched off (which drops the session and
    // whatever else was queued), then the dialog again in automatic mode, whose timer reconnects.
    PctBoton_Click(Transferir);
    m_tmrAutoSesion.start();
    PctBoton_Click(Transferir);
}

void Form1::endPublishing() {
    Publicacion& p = *m_publicacion;
    if (p.client)
        p.client->DesconectarFTP();
    if (p.form2 && p.form2->isVisible())
        p.form2->reject();
}
