# The folders from the ground up, each with the folders it stands on; a file
# may include headers of its own folder and of every folder below it, never
# above. A new folder gets its line here, or the build refuses its files.
set(TAV_LAYERS
  "common:"
  "common/win32: common"
  "common/qt: common"
  "platform: common"
  "platform/posix: platform"
  "platform/win32: platform"
  # TAV: message texts, the run's state, the cards, the certificates, the
  # flow, the screens, the program.
  "host/resources:"
  "host/state: platform host/resources"
  "host/card: host/state"
  "host/cert/x509: common"
  "host/cert: host/card host/cert/x509"
  "host/flow: host/cert"
  "host/screens: host/flow"
  "host/screens/win32: host/screens common/win32"
  "host/screens/qt: host/screens common/qt"
  "host/app: host/screens/win32"
  "host/app/qt: host/screens/qt"
  # TAV_Wrapper: no part of TAV.
  "wrapper: common"
  "wrapper/win32: wrapper common/win32"
  "wrapper/posix: wrapper"
  "wrapper/qt: wrapper/posix common/qt platform")
