' Asks for a choice and answers it, until the user cancels.
Dim answer, done
done = False
Do While Not done
    answer = InputBox("1 = date, 2 = time, 3 = both, anything else ends", _
                      "Menu", _
                      "1")
    Select Case Trim(answer)
        Case "1"
            MsgBox FormatDateTime(Date, vbLongDate)
        Case "2"
            MsgBox FormatDateTime(Time, vbLongTime)
        Case "3"
            MsgBox FormatDateTime(Now, vbGeneralDate), _
                   vbInformation, _
                   "Now"
        Case Else
            done = True
    End Select
Loop
