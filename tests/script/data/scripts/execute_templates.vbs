Option Explicit
' Builds small procedures from text and runs them: the keywords here live in strings.

Dim code
code = "Sub Greet(name)" & vbCrLf & _
       "  If name = """" Then name = ""world""" & vbCrLf & _
       "  WScript.Echo ""Hello, "" & name" & vbCrLf & _
       "End Sub"
ExecuteGlobal code
Greet "Kestrane"

code = "Function Twice(x): Twice = x * 2: End Function"
ExecuteGlobal code
WScript.Echo Twice(21)

Execute "Dim i: For i = 1 To 3: WScript.Echo i: Next"
WScript.Echo Eval("1 + 2 = 3")

Dim template
template = "If {cond} Then" & vbCrLf & "  {body}" & vbCrLf & "End If ' generated"
template = Replace(template, "{cond}", "True")
template = Replace(template, "{body}", "WScript.Echo ""ran""")
Execute template
Rem Execute "Select Case x" would need its End Select: "End Select"
