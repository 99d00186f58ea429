vorn_add_test(TestMarkup SOURCES print/TestMarkup.cpp print/RecordingPaintDevice.h LIBS vorn_print)
vorn_add_test(TestDrawFigure SOURCES print/TestDrawFigure.cpp print/RecordingSurface.h LIBS vorn_print)
vorn_add_test(TestPrintLayout SOURCES print/TestPrintLayout.cpp print/PrintFixture.h print/RecordingPaintDevice.h
              LIBS vorn_print vorn_library)
vorn_add_test(TestModExcel SOURCES print/TestModExcel.cpp print/PrintFixture.h LIBS vorn_print vorn_library)
vorn_add_test(TestPreview SOURCES print/TestPreview.cpp LIBS vorn_printgui)
