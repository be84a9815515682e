# Run by ctest after a test program's tests were discovered: gives each test its labels.
#   unit     no server, no outside program of note; `ctest -L unit` runs in about a minute
#   service  starts zerva-server (or another program) on loopback
#   gui      the Qt window offscreen;  e2e  zerva-cli or the window against zerva-server
#   slow     also takes more than a few seconds
# A test labelled unit that starts zerva-server fails with a message naming this file, so that
# the lists below cannot go stale unnoticed.
# Set by the including file: zerva_label_target, zerva_label_default, zerva_label_environment.

set(zerva_service_suites
  AccountPageTest AlbumCoverLoaderTest AlbumEditorEntryTest AlbumEditorFieldsTest
  AlbumEditorItemsTest AlbumEditorWindowTest AlbumLoadOtherTypesTest AlbumLoadTest AlbumsPageTest
  AppTest BugReportServiceTest CategoryServiceTest ConversionTest CopyDlgTest EditVideoTest
  EditorUploadStressTest ExifReaderTest GrowingFileTest HttpCurlTest HttpProxyTest
  InstallRegistrationTest ItemLocationTest JobUploadTest LanguageSwitchTest LoginPageTest
  OriginalVideoTest PageManagerTest PageTextsTest PhotoDetailTest PostCopyPageTest
  RotateImageJobTest SendEmailPageTest SenderPoolTest SignInTest ThumbsListTest ThumbsLoaderTest
  UnattendedPostCopyTest UnattendedStartTest UpdateCheckTest UploadDelayTest UploadWindowPageTest
  UserSessionTest UserSettingsPageTest VerifyUploadsTest VideoJobTest VideoProbeTest
  VideoPropsDlgTest VideoThumbTest VideoUploadTest WatermarkTemplateTest WindowRulesTest)

set(zerva_slow_suites
  AlbumCoverLoaderTest AlbumsPageTest ConversionTest EditorUploadStressTest HttpCurlTest
  MakeImageTest ShippedLanguageFiles UploadE2eTest VideoE2eTest)

foreach(zerva_test IN LISTS ${zerva_label_target}_TESTS)
  # "Suite.Case", "Prefix/Suite.Case/0": the suite is the last part before the first ".".
  string(REGEX REPLACE "\\..*$" "" zerva_suite "${zerva_test}")
  string(REGEX REPLACE "^.*/" "" zerva_suite "${zerva_suite}")
  list(FIND zerva_service_suites "${zerva_suite}" zerva_service)
  list(FIND zerva_slow_suites "${zerva_suite}" zerva_slow)
  set(zerva_labels ${zerva_label_default})
  set(zerva_environment ${zerva_label_environment})
  if(zerva_label_default STREQUAL "unit" AND zerva_service GREATER -1)
    set(zerva_labels service)
  endif()
  if(zerva_labels STREQUAL "unit")
    list(APPEND zerva_environment "ZERVA_UNIT_TEST=1")
  endif()
  if(zerva_slow GREATER -1)
    list(APPEND zerva_labels slow)
  endif()
  set_tests_properties("${zerva_test}" PROPERTIES LABELS "${zerva_labels}"
    ENVIRONMENT "${zerva_environment}")
endforeach()
