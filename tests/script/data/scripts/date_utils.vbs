Option Explicit

' Date helpers used by the nightly jobs.

Function IsWorkday(d)
    Select Case Weekday(d, vbMonday)
        Case 6, 7
            IsWorkday = False
        Case Else
            IsWorkday = Not IsHoliday(d)
    End Select
End Function

Function IsHoliday(d)
    Dim holidays, h
    holidays = Array("01/01", "05/03", "05/04", "05/05", "11/03", "12/31")
    IsHoliday = False
    For Each h In holidays
        If Right("0" & Month(d), 2) & "/" & Right("0" & Day(d), 2) = h Then
            IsHoliday = True
            Exit Function
        End If
    Next
End Function

Function NextWorkday(d)
    Dim n
    n = DateAdd("d", 1, d)
    While Not IsWorkday(n)
        n = DateAdd("d", 1, n)
    Wend
    NextWorkday = n
End Function

Function Stamp(d)
    Stamp = Year(d) & Right("0" & Month(d), 2) & Right("0" & Day(d), 2) & "_" & _
        Right("0" & Hour(d), 2) & Right("0" & Minute(d), 2)
End Function

Dim current, i
current = Date
For i = 1 To 10
    current = NextWorkday(current)
    If i Mod 5 = 0 Then
        WScript.Echo "week ends " & FormatDateTime(current, vbShortDate)
    End If
Next
WScript.Echo Stamp(Now)
WScript.Echo "next: " & NextWorkday(#12/30/2024#)
