#pragma once

class QWebEngineSettings;

// What web content may do, in one place: book chapters are untrusted documents; the browser
// runs scripts as browsers do, but local pages get no access to other local files.
class WebViewSettings
{
public:
    static void applyReaderSettings(QWebEngineSettings* settings);
    static void applyBrowserSettings(QWebEngineSettings* settings);
};
