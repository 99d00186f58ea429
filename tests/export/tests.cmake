vorn_add_test(TestModExport SOURCES export/TestModExport.cpp export/FakeExportHost.h LIBS vorn_export)
vorn_add_test(TestFrmExport SOURCES export/TestFrmExport.cpp export/FakeExportHost.h LIBS vorn_exportgui)
